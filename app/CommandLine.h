#pragma once
// Splits the process's command line into arguments, each a switch name with its value or
// a plain value. The program path comes first and is never read as arguments. After it,
// tokens are runs of characters other than the space; quotes and tabs have no meaning. A
// token starting with '/' or '-' is a switch and takes the next token as value.

#include <cstddef>
#include <string>

// Where the program path at the start of `commandLine` ends, as Windows itself reads it: a
// quoted path at its closing quote; an unquoted one after `programPath` (the running program's
// file, letter case aside) when the line begins with it and a blank or the end follows, else
// at the first blank or tab.
std::size_t programPathEnd(const std::string& commandLine, const std::string& programPath);

class CCommandLine {
  public:
#ifdef _WIN32
    // Reads the command line of this process.
    void parse();
#endif
    // Takes the given command line (program path included), trimmed of white space;
    // `programPath` as for programPathEnd.
    void parse(const std::string& commandLine, const std::string& programPath = std::string());

    // The first argument after the program token; false with both outputs empty when none.
    [[nodiscard]] bool firstArgument(std::string& name, std::string& value);
    // The argument after the last one read; false with both outputs empty when none is left.
    [[nodiscard]] bool nextArgument(std::string& name, std::string& value);

    std::string m_commandLine;

  private:
    [[nodiscard]] bool readArgument(std::string& name, std::string& value);
    [[nodiscard]] bool nextToken(std::string& token);

    std::string m_programPath;
    std::string m_tokenBuffer;
    std::size_t m_nextToken = std::string::npos;
};
