// Ids of the harness self-test's dialogs; the driver scripts use the numbers.
#pragma once

#define IDD_MAIN 100
#define IDD_CHILD 101
#define IDC_NAME 1001        // edit, "初始文本" at start
#define IDC_AGREE 1002       // checkbox "我同意(&A)"; enables IDOK
#define IDC_PROGRESS 1003    // range 0..200, at 50; +10 per answered question
#define IDC_ASK 1004         // opens a message box
#define IDC_RESULT 1005      // the message box's answer
#define IDC_MIRROR 1006      // follows IDC_NAME through EN_CHANGE
#define IDC_HIDDEN 1007      // never shown
#define IDC_ENV 1008         // %PARVANE_HARNESS_ENV%
#define IDC_CWD 1009         // the working directory
#define IDC_CMDLINE 1010     // the command line
#define IDC_TITLE 1011       // in a font of its own: bold "黑体", 16 pixels
#define IDC_NAME_LABEL 1012  // "名称(&N):", the mnemonic of IDC_NAME
#define IDC_LICENCE 1013     // read-only multi-line edit of kLicenceLines lines
#define IDC_BROWSE 1014      // opens the shell's folder browser, without owner
#define IDC_FOLDER 1015      // what the browser gave: a path, "取消" or "无路径"
#define IDC_CHILD 1016       // opens IDD_CHILD, centred over the dialog
#define IDC_NUDGE 1017       // in IDD_CHILD: moves it 30,20 pixels off centre
#define IDC_WORK 1018         // a long operation that keeps the window answering (LongWork.h)
#define IDC_WORK_STUCK 1019   // the same without emptying the queue
#define IDC_WORK_STATUS 1020  // "空闲" at start, then what the operation shows
#define IDC_WORK_PROGRESS 1021  // range 0..100, at 0; the operation's percentage
#define IDC_BURST 1022         // sets IDC_BURST_STATUS several times in a row (StatusBurst.h)
#define IDC_BURST_STATUS 1023  // "" at start
#define IDC_FLOOD 1024         // sets IDC_BURST_STATUS kFloodTexts times in a row
#define IDM_ABOUT 0x0110     // appended to the system menu; opens "关于"
