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

// Controls of the welcome page.
#define IDC_WELCOME_TITLE 1005

// Controls of the uninstall dialog.
#define IDC_UNINSTALL_STATUS 1000
#define IDC_UNINSTALL_PROGRESS 1001
#define IDC_UNINSTALL_SPARE 1002
