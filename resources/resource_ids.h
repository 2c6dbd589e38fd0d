// Resource numbers shared by the .rc files and the code.
#pragma once

#define IDD_UPDATE 101
#define IDC_STATUS 102
// <windows.h> has an IDC_WAIT of its own (the wait cursor); the tool's control
// keeps the name, and nothing here uses the cursor.
#undef IDC_WAIT
#define IDC_WAIT 1000
