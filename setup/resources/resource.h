// Resource identifiers of setup.
#pragma once

#define IDM_ABOUTBOX 0x0010

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_SETUP_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_INSTALL 1002
#define IDC_UNINSTALL 1003
#define IDC_NEXT 1006
#define IDC_BACK 1007
#define IDC_PROGRESS 1012
#define IDC_STATUS 1013
#define IDC_LOGO 1014

#define IDC_STATIC (-1)
