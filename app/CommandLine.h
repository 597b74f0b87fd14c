#pragma once
// Splits the process's command line into arguments, each a switch name with its value or
// a plain value. Tokens are runs of characters other than the space; quotes and tabs have
// no meaning. A token starting with '/' or '-' is a switch and takes the next token as value.

#include <cstddef>
#include <string>

class CCommandLine {
  public:
#ifdef _WIN32
    // Reads the command line of this process.
    void parse();
#endif
    // Takes the given command line (program path included), trimmed of white space.
    void parse(const std::string& commandLine);

    // The first argument after the program token; false with both outputs empty when none.
    bool firstArgument(std::string& name, std::string& value);
    // The argument after the last one read; false with both outputs empty when none is left.
    bool nextArgument(std::string& name, std::string& value);

    std::string m_commandLine;

  private:
    bool readArgument(std::string& name, std::string& value);
    bool nextToken(std::string& token);

    std::string m_tokenBuffer;
    std::size_t m_nextToken = std::string::npos;
};
