#include "site/ReadWholeFile.h"

#include <windows.h>

#include <limits>
#include <new>

#include "win/Handles.h"
#include "win/SystemErrorText.h"

unsigned fileErrorCause(unsigned long systemError) {
    switch (systemError) {
        case NO_ERROR:
            return 0;
        case ERROR_FILE_NOT_FOUND:
            return 2;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BAD_NETPATH:
            return 3;
        case ERROR_TOO_MANY_OPEN_FILES:
            return 4;
        case ERROR_ACCESS_DENIED:
        case ERROR_NETWORK_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return 5;
        case ERROR_INVALID_HANDLE:
            return 6;
        case ERROR_CURRENT_DIRECTORY:
            return 7;
        case ERROR_CANNOT_MAKE:
            return 8;
        case ERROR_NEGATIVE_SEEK:
        case ERROR_SEEK_ON_DEVICE:
            return 9;
        case ERROR_SEEK:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_NOT_READY:
        case ERROR_CRC:
        case ERROR_SECTOR_NOT_FOUND:
            return 10;
        case ERROR_SHARING_VIOLATION:
            return 11;
        case ERROR_LOCK_VIOLATION:
            return 12;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return 13;
        case ERROR_HANDLE_EOF:
            return 14;
        default:
            return 1;
    }
}

FileContent readWholeFile(const std::string& path) {
    FileContent content;
    win::CHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        content.failure = "Can't open file " + path + ", error = " + std::to_string(fileErrorCause(error)) + "\n" +
                          win::systemErrorText(error);
        return content;
    }
    DWORD high = 0;
    const DWORD length = GetFileSize(file.get(), &high);
    // Lengths on the wire are 32-bit signed: 2 GiB and more cannot be posted.
    std::unique_ptr<char[]> buffer;
    if (length != 0 && high == 0 && length <= static_cast<DWORD>(std::numeric_limits<int32_t>::max()))
        buffer.reset(new (std::nothrow) char[length]);
    if (!buffer) {
        content.failure = "Couldn allocate needed memory";
        return content;
    }
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer.get(), length, &read, nullptr))
        read = 0;
    file.reset();
    if (read < length) {
        content.failure = "Couldn read file " + path + ".\n Bytes read: " + std::to_string(read);
        return content;
    }
    content.data = std::move(buffer);
    content.size = static_cast<int32_t>(length);
    return content;
}
