#pragma once
// Reads a whole file into a new buffer for a form's file field.

#include <cstdint>
#include <memory>
#include <string>

#include "win/Result.h"

// Shows its own messages; failed with data null and size -1 on any failure.
// The file is opened for reading only and others may keep reading it meanwhile.
win::Failed readWholeFile(const std::string& path, std::unique_ptr<char[]>& data, int32_t& size);

// The framework's cause number of a file error (0 none ... 14 end of file) for a system error code.
unsigned fileErrorCause(unsigned long systemError);
