#include "TextLogStore.h"

#include <algorithm>

#include "Errors.h"

namespace uidriver {

DWORD TextLogStore::LogFor(long long id) {
  if (!view_) {
    char name[64];
    wsprintfA(name, kTextLogMappingFormat, GetCurrentProcessId());
    mapping_.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(TextLogs), name));
    if (mapping_) {
      view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(TextLogs)));
    }
    if (!view_) throw Failure{"a mapping for text logs", "error " + std::to_string(GetLastError())};
  }
  const auto known = ids_.find(id);
  if (known != ids_.end()) return known->second.log;
  for (DWORD log = 0; log < kTextLogs; ++log) {
    const bool taken = std::any_of(ids_.begin(), ids_.end(),
                                   [log](const auto& bound) { return bound.second.log == log; });
    if (!taken) return log;
  }
  throw ScriptError{"more than " + std::to_string(kTextLogs) + " controls recorded at once"};
}

const TextLogStore::Bound& TextLogStore::Find(long long id) const {
  const auto known = ids_.find(id);
  if (known == ids_.end() || !view_) {
    throw ScriptError{"no textlog of id " + std::to_string(id) + " since the process started"};
  }
  return known->second;
}

HWND TextLogStore::Control(long long id) const { return Find(id).control; }

TextLogCopy TextLogStore::Read(long long id) const {
  const TextLog& log = static_cast<const TextLogs*>(view_.get())->logs[Find(id).log];
  // The count first, then the entries below it: the hook raises the count
  // only after an entry is complete.
  const LONG count = log.count;
  MemoryBarrier();
  TextLogCopy copy;
  copy.lost = log.lost;
  for (LONG i = 0; i < count; ++i) {
    const TextLogEntry& entry = log.entries[i];
    copy.texts.push_back(
        RecordedText{std::string(entry.text, std::min(entry.size, kTextLogTextBytes)), entry.size});
  }
  return copy;
}

}  // namespace uidriver
