// The message map of a Dialog subclass, written in its class body:
//
//   BEGIN_MESSAGE_MAP(TargetPage, framework::Dialog)
//     ON_COMMAND(1000, OnBrowse)
//     ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
//   END_MESSAGE_MAP()
//
// ON_COMMAND binds a button click or menu command (void Handler()),
// ON_CONTROL a control notification (void Handler()), ON_MESSAGE any
// message (LRESULT Handler(WPARAM, LPARAM, bool& handled), which may set
// `handled` to false to let the message go on to the base class). Entries are tried
// in order; the base class's map follows.
#pragma once

#include <windows.h>

#define BEGIN_MESSAGE_MAP(ThisClass, BaseClass)                                     \
  bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) \
      override {                                                                    \
    using MessageMapBase = BaseClass;                                               \
    bool handled = true;                                                            \
    (void)handled;

#define ON_COMMAND(id, handler)                                        \
  if (message == WM_COMMAND && LOWORD(wParam) == (id) &&               \
      (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == 1)) {         \
    handler();                                                         \
    result = 0;                                                        \
    return true;                                                       \
  }

#define ON_CONTROL(notification, id, handler)                                     \
  if (message == WM_COMMAND && LOWORD(wParam) == (id) &&                          \
      HIWORD(wParam) == (notification)) {                                         \
    handler();                                                                    \
    result = 0;                                                                   \
    return true;                                                                  \
  }

#define ON_MESSAGE(messageId, handler)                 \
  if (message == (messageId)) {                        \
    result = handler(wParam, lParam, handled);         \
    if (handled) return true;                          \
    handled = true;                                    \
  }

#define END_MESSAGE_MAP()                                                    \
  return MessageMapBase::ProcessMessage(message, wParam, lParam, result);   \
  }
