#include "tests/wine/probes/SetValueLog.h"

#include <cstring>
#include <utility>

namespace probe {
namespace {

using SetValueFunction = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);

SetValueFunction systemSetValue = nullptr;
std::vector<SetValueCall> calls;

LONG WINAPI LoggedSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                           const BYTE* data, DWORD count) {
  SetValueCall call;
  call.name = name ? name : "";
  call.type = type;
  if (data) call.data.assign(reinterpret_cast<const char*>(data), count);
  calls.push_back(std::move(call));
  return systemSetValue(key, name, reserved, type, data, count);
}

// The import address table slot of advapi32's RegSetValueExA in this
// program's image, found by name; null without a lookup table to read the
// names from.
void** FindImportSlot() {
  auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       module->Name != 0; ++module) {
    if (::lstrcmpiA(reinterpret_cast<const char*>(base + module->Name), "advapi32.dll") != 0 ||
        module->OriginalFirstThunk == 0) {
      continue;
    }
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(
          base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "RegSetValueExA") == 0) {
        return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

// The table may lie in read-only memory once loaded.
void WriteSlot(void** slot, void* value) {
  DWORD protection = 0;
  if (!::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return;
  *slot = value;
  ::VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace

SetValueLog::SetValueLog() {
  void** slot = FindImportSlot();
  if (!slot || systemSetValue) return;
  systemSetValue = reinterpret_cast<SetValueFunction>(*slot);
  WriteSlot(slot, reinterpret_cast<void*>(&LoggedSetValue));
  if (*slot != reinterpret_cast<void*>(&LoggedSetValue)) {
    systemSetValue = nullptr;
    return;
  }
  slot_ = slot;
  calls.clear();
}

SetValueLog::~SetValueLog() {
  if (!slot_) return;
  WriteSlot(slot_, reinterpret_cast<void*>(systemSetValue));
  // Still routed through the log, the slot needs the system's function.
  if (*slot_ == reinterpret_cast<void*>(systemSetValue)) systemSetValue = nullptr;
  calls.clear();
}

std::vector<SetValueCall> SetValueLog::Take() {
  std::vector<SetValueCall> taken;
  taken.swap(calls);
  return taken;
}

}  // namespace probe
