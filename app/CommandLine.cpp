#include "app/CommandLine.h"

#include <cctype>

#ifdef _WIN32
#include <windows.h>

#include "win/ModulePath.h"

void CCommandLine::parse() {
    parse(GetCommandLineA(), win::modulePath());
}
#endif

std::size_t programPathEnd(const std::string& commandLine, const std::string& programPath) {
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::size_t closing = commandLine.find('"', 1);
        return closing == std::string::npos ? commandLine.size() : closing + 1;
    }
    const std::size_t length = programPath.size();
    if (length != 0 && commandLine.size() >= length &&
        (commandLine.size() == length || commandLine[length] == ' ' || commandLine[length] == '\t')) {
        bool same = true;
        for (std::size_t i = 0; i < length && same; ++i)
            same = std::tolower(static_cast<unsigned char>(commandLine[i])) ==
                   std::tolower(static_cast<unsigned char>(programPath[i]));
        if (same)
            return length;
    }
    const std::size_t blank = commandLine.find_first_of(" \t");
    return blank == std::string::npos ? commandLine.size() : blank;
}

void CCommandLine::parse(const std::string& commandLine, const std::string& programPath) {
    m_programPath = programPath;
    std::size_t begin = 0;
    std::size_t end = commandLine.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(commandLine[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(commandLine[end - 1])))
        --end;
    m_commandLine = commandLine.substr(begin, end - begin);
    m_tokenBuffer.clear();
    m_nextToken = std::string::npos;
}

bool CCommandLine::firstArgument(std::string& name, std::string& value) {
    name.clear();
    value.clear();
    m_tokenBuffer = m_commandLine;
    m_nextToken = programPathEnd(m_commandLine, m_programPath);
    return readArgument(name, value);
}

bool CCommandLine::nextArgument(std::string& name, std::string& value) {
    name.clear();
    value.clear();
    return readArgument(name, value);
}

bool CCommandLine::readArgument(std::string& name, std::string& value) {
    std::string token;
    if (!nextToken(token))
        return false;
    if (token[0] == '/' || token[0] == '-') {
        name = token.substr(1);
        static_cast<void>(nextToken(value));  // whatever it looks like; empty when none is left
    } else {
        value = token;
    }
    return true;
}

bool CCommandLine::nextToken(std::string& token) {
    token.clear();
    if (m_nextToken == std::string::npos)
        return false;
    std::size_t begin = m_tokenBuffer.find_first_not_of(' ', m_nextToken);
    if (begin == std::string::npos) {
        m_nextToken = std::string::npos;
        return false;
    }
    std::size_t end = m_tokenBuffer.find(' ', begin);
    if (end == std::string::npos) {
        token = m_tokenBuffer.substr(begin);
        m_nextToken = std::string::npos;
    } else {
        token = m_tokenBuffer.substr(begin, end - begin);
        m_nextToken = end;
    }
    return true;
}
