#include "upload/CategoryRules.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "upload/InputChecks.h"

namespace upload::category {

namespace {

// Leading decimal number: blanks and a sign allowed, the first other character ends it.
long leadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                               text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX)
            value = int64_t(INT32_MAX) + 1;  // saturate; clamped below
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        value = INT32_MAX;
    if (value < INT32_MIN)
        value = INT32_MIN;
    return long(value);
}

}  // namespace

bool parseEntry(const std::string& entry, long& id, std::string& name) {
    const size_t semicolon = entry.find(';');
    if (semicolon == std::string::npos)
        return false;
    id = leadingNumber(entry.substr(0, semicolon));
    name = entry.substr(semicolon + 1);
    return true;
}

Change onSelectionChanged(const long (&values)[kListCount], int changed) {
    Change change;
    if (changed < 0 || changed >= kListCount)
        return change;
    bool duplicate = false;
    for (int i = 0; i < kListCount; ++i)
        if (i != changed && values[i] == values[changed])
            duplicate = true;

    unsigned after = 0;  // the lists after the changed one
    for (int i = changed + 1; i < kListCount; ++i)
        after |= 1u << i;

    if (duplicate) {
        change.resetMask = (1u << changed) | after;
        change.disableMask = after;
    } else if (values[changed] == kPlaceholder) {
        change.resetMask = after;
        change.disableMask = after;
    } else if (changed + 1 < kListCount) {
        change.enableMask = 1u << (changed + 1);
    }
    return change;
}

int keyboardLanding(const long (&values)[kListCount],
                    int changed,
                    const std::vector<long>& entries,
                    int landed,
                    int direction) {
    const int count = int(entries.size());
    if (changed < 0 || changed >= kListCount || landed < 0 || landed >= count)
        return landed;
    const auto allowed = [&](int index) {
        const long value = entries[size_t(index)];
        if (value == kPlaceholder)
            return true;
        for (int i = 0; i < kListCount; ++i)
            if (i != changed && values[i] == value)
                return false;
        return true;
    };
    const int step = direction < 0 ? -1 : 1;
    for (int i = landed; i >= 0 && i < count; i += step)
        if (allowed(i))
            return i;
    for (int i = landed - step; i >= 0 && i < count; i -= step)
        if (allowed(i))
            return i;
    return landed;
}

int typedEntry(const std::string& typed, const std::vector<std::string>& names) {
    const auto folded = [](const std::string& text) {
        std::string lower = upload::inputs::trimBlanks(text);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        return lower;
    };
    const std::string wanted = folded(typed);
    for (size_t i = 0; i < names.size(); ++i)
        if (folded(names[i]) == wanted)
            return int(i);
    return -1;
}

void Lists::choose(int list, long value) {
    values[list] = value;
    const Change change = onSelectionChanged(values, list);
    for (int i = 0; i < kListCount; ++i) {
        if (change.resetMask & (1u << i))
            values[i] = kPlaceholder;
        if (change.enableMask & (1u << i))
            enabled[i] = true;
        if (change.disableMask & (1u << i))
            enabled[i] = false;
    }
}

void Lists::step(int list, const std::vector<long>& entries, int direction) {
    const auto at = std::find(entries.begin(), entries.end(), values[list]);
    const int from = at == entries.end() ? 0 : int(at - entries.begin());
    const int landed = std::clamp(from + (direction < 0 ? -1 : 1), 0, int(entries.size()) - 1);
    choose(list, entries[size_t(keyboardLanding(values, list, entries, landed, direction))]);
}

}  // namespace upload::category
