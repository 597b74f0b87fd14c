#pragma once
// The five category lists of the main dialog and the rules that tie them together: each chosen
// category differs from every other chosen one, and a subcategory list is enabled only while the
// list before it holds a real category. List 0 is the category, lists 1 to 4 the subcategories;
// a list's value is the item data of its selected entry, -1 for the placeholder.

#include <string>

namespace category {

inline constexpr int kListCount = 5;
inline constexpr long kPlaceholder = -1;

// One "id;name" line of the site session. False for a line without ';' (it is skipped).
bool parseEntry(const std::string& entry, long& id, std::string& name);

// What a selection change of one list does to the lists; bit i stands for list i.
struct Change {
    unsigned resetMask = 0;  // select entry 0
    unsigned enableMask = 0;
    unsigned disableMask = 0;
};

Change onSelectionChanged(const long (&values)[kListCount], int changed);

// The lists as the dialog holds them, for applying a change without the controls.
struct Lists {
    long values[kListCount] = {kPlaceholder, kPlaceholder, kPlaceholder, kPlaceholder, kPlaceholder};
    bool enabled[kListCount] = {true, false, false, false, false};

    // Select a value in one list and apply the rules.
    void choose(int list, long value);
};

}  // namespace category
