#pragma once
// The five category lists of the main dialog and the rules that tie them together: each chosen
// category differs from every other chosen one, and a subcategory list is enabled only while the
// list before it holds a real category. List 0 is the category, lists 1 to 4 the subcategories;
// a list's value is the item data of its selected entry, -1 for the placeholder.

#include <string>
#include <vector>

namespace upload::category {

inline constexpr int kListCount = 5;
inline constexpr long kPlaceholder = -1;

// One "id;name" line of the site session. False for a line without ';' (it is skipped).
[[nodiscard]] bool parseEntry(const std::string& entry, long& id, std::string& name);

// What a selection change of one list does to the lists; bit i stands for list i.
struct Change {
    unsigned resetMask = 0;  // select entry 0
    unsigned enableMask = 0;
    unsigned disableMask = 0;
};

Change onSelectionChanged(const long (&values)[kListCount], int changed);

// A selection change made with the keyboard that lands on an entry the rules refuse (a real
// category that another list holds; the placeholder is never refused) moves on instead of
// resetting the list: to the next allowed entry in the key's direction (+1 towards the end of
// the list, -1 towards its top), or, with none left that way, to the nearest allowed entry before
// the one it landed on. `entries`: the values of the list's entries, the placeholder first.
int keyboardLanding(const long (&values)[kListCount],
                    int changed,
                    const std::vector<long>& entries,
                    int landed,
                    int direction);

// The entry whose name is the text typed into a list's box, letter case and the blanks around
// both aside; -1 for none.
int typedEntry(const std::string& typed, const std::vector<std::string>& names);

// The lists as the dialog holds them, for applying a change without the controls.
struct Lists {
    long values[kListCount] = {kPlaceholder, kPlaceholder, kPlaceholder, kPlaceholder, kPlaceholder};
    bool enabled[kListCount] = {true, false, false, false, false};

    // Select a value in one list and apply the rules, as a mouse choice does.
    void choose(int list, long value);
    // One key press in a list whose entries hold `entries`, towards its end (+1) or its top (-1).
    void step(int list, const std::vector<long>& entries, int direction);
};

}  // namespace upload::category
