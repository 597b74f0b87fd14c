#pragma once
// Resource ids of the hashing progress dialog.
// Read by the resource compiler and by the C++ code alike, so only #defines here; the values
// are the program's own and stay as they are.

#define IDD_PROGRESS 103

// Hashing progress (103)
#define IDC_PROGRESS 1016
