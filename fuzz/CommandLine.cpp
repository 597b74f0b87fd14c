// The command line's tokenizer: switches with their values, and plain values.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/CommandLine.h"
#include "fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CCommandLine commandLine;
    commandLine.parse(std::string(reinterpret_cast<const char*>(data), size));
    const std::string& line = commandLine.m_commandLine;
    FUZZ_CHECK(line.size() <= size);
    FUZZ_CHECK(line.empty() || (!std::isspace(static_cast<unsigned char>(line.front())) &&
                                !std::isspace(static_cast<unsigned char>(line.back()))));

    // Every argument takes at least one of the blank-separated tokens after the program's path.
    const std::string rest = line.substr(programPathEnd(line, std::string()));
    std::size_t tokens = 0;
    for (std::size_t at = 0; at < rest.size(); ++at)
        tokens += rest[at] != ' ' && (at == 0 || rest[at - 1] == ' ');
    std::string name = "x", value = "x";
    std::size_t arguments = 0;
    for (bool more = commandLine.firstArgument(name, value); more; more = commandLine.nextArgument(name, value)) {
        FUZZ_CHECK(++arguments <= tokens);
        FUZZ_CHECK(name.find(' ') == std::string::npos && value.find(' ') == std::string::npos);
        FUZZ_CHECK(line.find(name) != std::string::npos && line.find(value) != std::string::npos);
    }
    FUZZ_CHECK(name.empty() && value.empty());
    // Read again from the start, the same first argument comes.
    std::string again, againValue;
    if (commandLine.firstArgument(name, value)) {
        FUZZ_CHECK(commandLine.firstArgument(again, againValue));
        FUZZ_CHECK(again == name && againValue == value);
    }
    return 0;
}
