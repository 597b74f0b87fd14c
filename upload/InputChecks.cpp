#include "upload/InputChecks.h"

namespace inputs {

std::string cleanName(const std::string& name) {
    std::string cleaned;
    for (char c : name)
        if (c != '/' && c != '\\' && c != '"' && c != '?' && c != '!')
            cleaned += c;
    return cleaned;
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
    if (outcome.cleanedName.size() < 5)
        outcome.message = kShortName;
    else if (fields.description.size() < 10)
        outcome.message = kShortDescription;
    return outcome;
}

}  // namespace inputs
