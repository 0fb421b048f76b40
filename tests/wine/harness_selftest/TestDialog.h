// Ids of the harness self-test's dialog; the driver scripts use the numbers.
#pragma once

#define IDD_MAIN 100
#define IDC_NAME 1001      // edit, "初始文本" at start
#define IDC_AGREE 1002     // checkbox; enables IDOK
#define IDC_PROGRESS 1003  // range 0..200, at 50; +10 per answered question
#define IDC_ASK 1004       // opens a message box
#define IDC_RESULT 1005    // the message box's answer
#define IDC_MIRROR 1006    // follows IDC_NAME through EN_CHANGE
#define IDC_HIDDEN 1007    // never shown
#define IDC_ENV 1008       // %PARVANE_HARNESS_ENV%
#define IDC_CWD 1009       // the working directory
#define IDC_CMDLINE 1010   // the command line
#define IDM_ABOUT 0x0110   // appended to the system menu
