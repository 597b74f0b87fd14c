#pragma once
// Reads a whole file into a new buffer for a form's file field.

#include <cstdint>
#include <memory>
#include <string>

// A whole file, or why it could not be read: then data is null, size -1 and `failure` says why
// in the member's words.
struct FileContent {
    std::unique_ptr<char[]> data;
    int32_t size = -1;
    std::string failure;
};

// The file is opened for reading only and others may keep reading it meanwhile.
FileContent readWholeFile(const std::string& path);

// The framework's cause number of a file error (0 none ... 14 end of file) for a system error code.
unsigned fileErrorCause(unsigned long systemError);
