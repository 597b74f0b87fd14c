#include "upload/InputChecks.h"

namespace upload::inputs {

std::string cleanName(const std::string& name) {
    std::string cleaned;
    for (char c : name)
        if (c != '/' && c != '\\' && c != '"' && c != '?' && c != '!')
            cleaned += c;
    return cleaned;
}

std::string trimBlanks(const std::string& text) {
    const char* const blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

Outcome check(const Fields& fields) {
    Outcome outcome;
    if (fields.path.empty()) {
        outcome.message = kNoPath;
        return outcome;
    }
    if (fields.category == -1) {
        outcome.message = kNoCategory;
        return outcome;
    }
    if (fields.pictureCount <= 0) {
        outcome.message = kNoPicture;
        return outcome;
    }
    outcome.cleanedName = cleanName(fields.name);
    outcome.nameCleaned = true;
    if (trimBlanks(outcome.cleanedName).size() < 5)
        outcome.message = kShortName;
    else if (trimBlanks(fields.description).size() < 10)
        outcome.message = kShortDescription;
    return outcome;
}

}  // namespace upload::inputs
