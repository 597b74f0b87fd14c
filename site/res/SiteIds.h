#pragma once
// Resource ids of the login dialog and the backend wait.
// Read by the resource compiler and by the C++ code alike, so only #defines here; the values
// are the program's own and stay as they are.

#define IDD_LOGIN 133
#define IDD_COMPLETEUPLOAD 139

// Login (133)
#define IDC_LOGIN 1018
#define IDC_PASSWORD 1019
#define IDC_SITE 1020
#define IDC_LOGIN_STATUS 1022
#define IDC_REMEMBER 1024

// Backend wait (139)
#define IDC_BACKEND_TEXT 1038
