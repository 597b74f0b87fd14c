#pragma once
// Identifiers of the program's resources: dialog templates, their controls, strings, icon.
// Read by the resource compiler and by the C++ code alike, so only #defines here.

#define IDI_SEEDWRIGHT 5
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_SEEDWRIGHT_DIALOG 102
#define IDD_PROGRESS 103
#define IDD_LOGIN 133
#define IDD_FINDEXE 134
#define IDD_SELECTCLIENT 135
#define IDD_SETUP 137
#define IDD_COMPLETEUPLOAD 139

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
#define IDC_CATEGORY 1023
#define IDC_SUBCATEGORY1 1024
#define IDC_SUBCATEGORY2 1025
#define IDC_SUBCATEGORY3 1026
#define IDC_SUBCATEGORY4 1027
#define IDC_STATUS 1036

// Hashing progress (103)
#define IDC_PROGRESS 1016

// Login (133)
#define IDC_LOGIN 1018
#define IDC_PASSWORD 1019
#define IDC_SITE 1020
#define IDC_LOGIN_STATUS 1022
#define IDC_REMEMBER 1024

// Select executable (134)
#define IDC_EXE_PATH 1026
#define IDC_EXE_BROWSE 1027
#define IDC_EXE_PROMPT 1028

// Choose client (135)
#define IDC_UTORRENT 1029
#define IDC_AZUREUS 1030

// Installation (137)
#define IDC_SETUP_ICON 1017
#define IDC_SETUP_CLIENT_BROWSE 1028
#define IDC_SETUP_CLIENT 1029
#define IDC_SETUP_FOLDER 1031
#define IDC_SETUP_MENU 1032
#define IDC_SETUP_FOLDER_BROWSE 1033

// About (100)
#define IDC_ABOUT_TITLE 1034
#define IDC_ABOUT_NOTICE 1035

// Backend wait (139)
#define IDC_BACKEND_TEXT 1038
