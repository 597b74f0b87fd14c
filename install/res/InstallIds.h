#pragma once
// Resource ids of the installation dialog.
// Read by the resource compiler and by the C++ code alike, so only #defines here; the values
// are the program's own and stay as they are.

#define IDD_SETUP 137

// Installation (137)
#define IDC_SETUP_ICON 1017
#define IDC_SETUP_CLIENT_BROWSE 1028
#define IDC_SETUP_CLIENT 1029
#define IDC_SETUP_FOLDER 1031
#define IDC_SETUP_MENU 1032
#define IDC_SETUP_FOLDER_BROWSE 1033
