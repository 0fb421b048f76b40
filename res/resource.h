// Resource and control ids shared by the resource script and the code.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog templates.
#define IDD_ABOUT_BOX 100
#define IDD_WELCOME_PAGE 130
#define IDD_LICENCE_PAGE 131
#define IDD_TARGET_PAGE 132
#define IDD_UNINSTALL_DIALOG 151

// Icons: the same images under two ids.
#define IDI_PRODUCT 128
#define IDI_WIZARD 129

// The licence agreement, GBK text with CR LF line breaks.
#define IDR_LICENCE_TEXT 132
#define RT_LICENCE_TEXT "SFX_TEXT"

// String table.
#define IDS_ABOUT_ENTRY 101
#define IDS_INSTALL_CAPTION 103
#define IDS_INSTALL_DONE 104
#define IDS_PACKAGE_DAMAGED 105
#define IDS_MUST_ACCEPT 107

// The About command in the system menu.
#define IDM_ABOUT 0x0010

// Welcome page.
#define IDC_WELCOME_TITLE 1005

// Licence page.
#define IDC_LICENCE_EDIT 1001
#define IDC_LICENCE_ACCEPT 1004
#define IDC_LICENCE_DECLINE 1005

// Target page.
#define IDC_TARGET_BROWSE 1000
#define IDC_TARGET_PROGRESS 1001
#define IDC_TARGET_STATUS 1002
#define IDC_TARGET_PROMPT 1004
#define IDC_TARGET_FOLDER 1005

// Uninstall dialog.
#define IDC_UNINSTALL_STATUS 1000
#define IDC_UNINSTALL_PROGRESS 1001
#define IDC_UNINSTALL_SPARE 1002
