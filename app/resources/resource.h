// Resource identifiers of FirmwareUpdate.exe, shared by the resource script and the code.
#pragma once

#define IDM_ABOUTBOX 0x0010
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_UPDATE_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_STATUS 131
#define IDD_PROGRESS 135
#define IDB_LOGO 139

#define IDC_PORT 1000
#define IDC_FIND 1002
#define IDC_FILENAME 1004
#define IDC_OPEN 1006
#define IDC_UPGRADE 1007
#define IDC_STATUS_TEXT 1009
#define IDC_PROGRESS 1010
#define IDC_PROGRESS_TEXT 1011

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Resource type of a dialog's initialisation data: control messages run when it starts.
#define RT_DLGINIT_DATA 240
// The message code the initialisation data uses to add a combo box entry.
#define DLGINIT_CB_ADDSTRING 0x0403
