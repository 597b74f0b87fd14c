#pragma once
// Resource ids of the two client dialogs.
// Read by the resource compiler and by the C++ code alike, so only #defines here; the values
// are the program's own and stay as they are.

#define IDD_FINDEXE 134
#define IDD_SELECTCLIENT 135

// Select executable (134)
#define IDC_EXE_PATH 1026
#define IDC_EXE_BROWSE 1027
#define IDC_EXE_PROMPT 1028

// Choose client (135)
#define IDC_UTORRENT 1029
#define IDC_AZUREUS 1030
