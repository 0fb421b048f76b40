// Every RegSetValueExA call this program makes, recorded as it was made.
// The registry cannot tell what a caller counted: given a text without its
// NUL, RegSetValueExA stores the NUL that follows it in memory as well, so
// only the call shows whether the NUL was left out.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace probe {

struct SetValueCall {
  std::string name;
  DWORD type = REG_NONE;
  std::string data;  // exactly the bytes counted
};

// While it lives, this program's imported RegSetValueExA goes through the
// log and then on to the system's; one at a time.
class SetValueLog {
 public:
  SetValueLog();
  ~SetValueLog();
  SetValueLog(const SetValueLog&) = delete;
  SetValueLog& operator=(const SetValueLog&) = delete;

  // False when the import could not be routed: nothing is recorded then.
  bool Active() const { return slot_ != nullptr; }
  // The calls since the last Take, oldest first.
  std::vector<SetValueCall> Take();

 private:
  void** slot_ = nullptr;
};

}  // namespace probe
