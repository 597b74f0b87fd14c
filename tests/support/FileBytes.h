#pragma once
// A whole file's bytes, read or written at once.

#include <string>

// Empty when the file cannot be read.
std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);
