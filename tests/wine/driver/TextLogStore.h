// The driver's side of the text logs (HookProtocol.h): it owns the mapping
// the hook writes into, gives each control id of the script a log of its
// own, and reads the logs back, also after the window and its process have
// gone, since the mapping is the driver's.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "Handles.h"
#include "HookProtocol.h"

namespace uidriver {

struct RecordedText {
  std::string text;  // UTF-8; only the first kTextLogTextBytes of a longer text
  DWORD size;        // the whole text's length in bytes
};

struct TextLogCopy {
  std::vector<RecordedText> texts;
  long lost = 0;  // texts that came when the log was full
};

class TextLogStore {
 public:
  // The log that `textlog ID` is to (re)start: the one the id has, else a
  // free one. Creates the mapping on first use. Throws Failure when it
  // cannot, ScriptError when every log is taken.
  DWORD LogFor(long long id);
  // The hook has started `log` for the id's control.
  void Bind(long long id, DWORD log, HWND control) { ids_[id] = Bound{log, control}; }
  // Frees every log for the next process.
  void Clear() { ids_.clear(); }
  // Throws ScriptError when no `textlog` has run for the id.
  TextLogCopy Read(long long id) const;
  // The control the id's log records, which may since have been destroyed.
  HWND Control(long long id) const;

 private:
  struct Bound {
    DWORD log;
    HWND control;
  };
  const Bound& Find(long long id) const;

  UniqueHandle mapping_;
  UniqueView view_;
  std::map<long long, Bound> ids_;
};

}  // namespace uidriver
