#pragma once
// Resource ids of the main upload dialog and the About box.
// Read by the resource compiler and by the C++ code alike, so only #defines here; the values
// are the program's own and stay as they are.

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_SEEDWRIGHT_DIALOG 102

// Main upload dialog (102)
#define IDC_NAME 1002
#define IDC_DESCRIPTION 1003
#define IDC_PATH 1004
#define IDC_NOTE 1005
#define IDC_BROWSE 1007
#define IDC_UPLOAD_FILE 1008
#define IDC_UPLOAD_FOLDER 1009
#define IDC_ADD_PICTURE 1011
#define IDC_PICTURES 1012
#define IDC_UPLOAD 1013
#define IDC_REMOVE_PICTURE 1014
#define IDC_CANCEL_UPLOAD 1015
#define IDC_CATEGORY 1023
#define IDC_SUBCATEGORY1 1024
#define IDC_SUBCATEGORY2 1025
#define IDC_SUBCATEGORY3 1026
#define IDC_SUBCATEGORY4 1027
#define IDC_STATUS 1036

// About (100)
#define IDC_ABOUT_TITLE 1034
#define IDC_ABOUT_NOTICE 1035
