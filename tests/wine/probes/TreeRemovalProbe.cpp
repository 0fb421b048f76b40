// The removal of an installed tree on a real file system under Wine: the
// reports sent for each shape of tree, what stays and what goes, and the
// system folders the uninstaller refuses to start on. Prints one line per
// failed check; exit 1 if any.
//   tree_removal_probe.exe SCRATCH_FOLDER [LINKED_TREE]
// SCRATCH_FOLDER must not exist yet. LINKED_TREE, made from outside, holds
// "inst\a.txt", "inst\linked" (a link to "outside") and "outside\keep.txt".
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "folders/OwnedFolders.h"
#include "folders/SystemFolders.h"
#include "framework/Handles.h"
#include "tests/wine/probes/ProbeCheck.h"
#include "uninstall/TreeRemoval.h"

namespace {

using probe::Check;
using uninstall::REPORT_FOLDER_NOT_REMOVED;
using uninstall::REPORT_PATH;

struct Report {
  int32_t code;
  std::string path;
  bool operator==(const Report& other) const { return code == other.code && path == other.path; }
};

std::vector<Report> reports;
bool everyPositionWas100 = true;
bool everyWindowPassedThrough = true;
HWND const kWindow = reinterpret_cast<HWND>(0x1234);

int32_t Record(int32_t code, int32_t* position, const char* path, HWND window) {
  reports.push_back({code, path});
  everyPositionWas100 = everyPositionWas100 && *position == 100;
  everyWindowPassedThrough = everyWindowPassedThrough && window == kWindow;
  *position = -7;  // the walk must set it afresh before every call
  return 0;
}

int Walk(const std::string& path) {
  reports.clear();
  return uninstall::DeleteFolderTree(kWindow, path, Record);
}

void MakeFolder(const std::string& path) { ::CreateDirectoryA(path.c_str(), nullptr); }

void MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  framework::ScopedFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, attributes, nullptr));
  DWORD written = 0;
  ::WriteFile(file.Get(), "x", 1, &written, nullptr);
}

bool Exists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The entries of `folder` in the order the file system returns them.
std::vector<std::string> Enumerated(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  framework::ScopedFindHandle search(::FindFirstFileA((folder + "\\*.*").c_str(), &entry));
  if (!search) return names;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(search.Get(), &entry));
  return names;
}

bool FirstIs(const std::vector<std::string>& names, const char* name) {
  return !names.empty() && names.front() == name;
}

void PrintReports() {
  for (const Report& report : reports) {
    std::printf("  saw %d %s\n", report.code, report.path.c_str());
  }
}

void CheckReports(const std::vector<Report>& expected, const char* what) {
  Check(reports == expected, what);
  if (reports != expected) PrintReports();
}

// a.txt and S\b.txt: one report per file, in enumeration order; S goes at
// the end of its own walk, the folder last, with nothing more reported.
void FileAndSubfolder(const std::string& root) {
  const std::string folder = root + "\\plain";
  MakeFolder(folder);
  MakeFile(folder + "\\a.txt");
  MakeFolder(folder + "\\S");
  MakeFile(folder + "\\S\\b.txt");
  const Report a{REPORT_PATH, folder + "\\a.txt"};
  const Report b{REPORT_PATH, folder + "\\S\\b.txt"};
  const bool fileFirst = FirstIs(Enumerated(folder), "a.txt");
  Check(Walk(folder) == 0, "a.txt and S\\b.txt: the walk returns 0");
  CheckReports(fileFirst ? std::vector<Report>{a, b} : std::vector<Report>{b, a},
               "a.txt and S\\b.txt: one report per file, in enumeration order");
  Check(!Exists(folder), "a.txt and S\\b.txt: the folder is gone");
}

void EmptyFolders(const std::string& root) {
  const std::string empty = root + "\\empty";
  MakeFolder(empty);
  Check(Walk(empty) == 0 && reports.empty() && !Exists(empty),
        "an empty folder goes without any report");

  const std::string chain = root + "\\chain";
  MakeFolder(chain);
  MakeFolder(chain + "\\S");
  MakeFolder(chain + "\\S\\T");
  MakeFolder(chain + "\\S\\T\\U");
  Check(Walk(chain) == 0 && reports.empty() && !Exists(chain),
        "a chain of empty folders S\\T\\U goes without any report");
}

// A read-only file in S\T stays, and with it T, S and the folder: each
// walk reports its folder as not removed, each second pass the subfolder
// that stayed.
void ReadOnlyFileDeepInside(const std::string& root) {
  const std::string folder = root + "\\readonly";
  const std::string s = folder + "\\S", t = s + "\\T";
  MakeFolder(folder);
  MakeFolder(s);
  MakeFolder(t);
  MakeFile(t + "\\locked.txt", FILE_ATTRIBUTE_READONLY);
  MakeFile(t + "\\free.txt");
  MakeFile(folder + "\\top.txt");

  const bool lockedFirst = FirstIs(Enumerated(t), "locked.txt");
  const bool topFirst = FirstIs(Enumerated(folder), "top.txt");
  std::vector<Report> expected;
  const Report top{REPORT_PATH, folder + "\\top.txt"};
  if (topFirst) expected.push_back(top);
  const Report locked{REPORT_PATH, t + "\\locked.txt"}, free{REPORT_PATH, t + "\\free.txt"};
  expected.push_back(lockedFirst ? locked : free);
  expected.push_back(lockedFirst ? free : locked);
  expected.push_back({REPORT_FOLDER_NOT_REMOVED, t});
  expected.push_back({REPORT_PATH, t});
  expected.push_back({REPORT_FOLDER_NOT_REMOVED, s});
  if (!topFirst) expected.push_back(top);
  expected.push_back({REPORT_PATH, s});
  expected.push_back({REPORT_FOLDER_NOT_REMOVED, folder});

  Check(Walk(folder) == -1, "read-only file: the walk returns -1");
  CheckReports(expected, "read-only file: the report sequence");
  Check(Exists(t + "\\locked.txt") && !Exists(t + "\\free.txt") && !Exists(folder + "\\top.txt"),
        "read-only file: it stays, the other files go");
  ::SetFileAttributesA((t + "\\locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  Check(Walk(folder) == 0 && !Exists(folder), "read-only file: once writable, all goes");
}

void HiddenAndSystemFiles(const std::string& root) {
  const std::string folder = root + "\\hidden";
  MakeFolder(folder);
  MakeFolder(folder + "\\S");
  MakeFile(folder + "\\h.txt", FILE_ATTRIBUTE_HIDDEN);
  MakeFile(folder + "\\s.txt", FILE_ATTRIBUTE_SYSTEM);
  MakeFile(folder + "\\S\\hs.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  ::SetFileAttributesA((folder + "\\S").c_str(), FILE_ATTRIBUTE_HIDDEN);
  Check(Walk(folder) == 0 && !Exists(folder), "hidden and system files: all goes");
  Check(reports.size() == 3, "hidden and system files: one report per file");
}

void MissingFolderAndFile(const std::string& root) {
  const std::string missing = root + "\\missing";
  Check(Walk(missing) == 0, "missing folder: the walk returns 0");
  CheckReports({{REPORT_PATH, missing}}, "missing folder: one report of its path");

  // A path naming a file has nothing to enumerate: it is deleted as a file.
  const std::string file = root + "\\lonely.txt";
  MakeFile(file);
  Check(Walk(file) == 0 && !Exists(file), "a file given as the folder is deleted");
  CheckReports({{REPORT_PATH, file}}, "a file given as the folder: one report");

  // With a trailing backslash the entry paths get no second one.
  const std::string folder = root + "\\slash";
  MakeFolder(folder);
  MakeFile(folder + "\\c.txt");
  Walk(folder + "\\");
  CheckReports({{REPORT_PATH, folder + "\\c.txt"}}, "a trailing backslash is not doubled");
  Check(everyPositionWas100, "every report carries the position 100");
  Check(everyWindowPassedThrough, "every report carries the caller's window");
}

// The link is never walked into: what it points at stays whole, and no
// path below it is reported.
void LinkInsideTheTree(const std::string& linkedTree) {
  const std::string install = linkedTree + "\\inst";
  const DWORD attributes = ::GetFileAttributesA((install + "\\linked").c_str());
  Check(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT),
        "link: the file system shows it as a reparse point");
  Walk(install);
  Check(Exists(linkedTree + "\\outside\\keep.txt"), "link: the file behind it stays");
  Check(!Exists(install + "\\a.txt"), "link: the installed file beside it goes");
  const std::string inside = install + "\\linked\\";
  Check(std::none_of(reports.begin(), reports.end(),
                     [&](const Report& report) { return report.path.rfind(inside, 0) == 0; }),
        "link: nothing below it is reported");
  Check(std::any_of(reports.begin(), reports.end(),
                    [&](const Report& report) {
                      return report == Report{REPORT_PATH, install + "\\linked"};
                    }),
        "link: it is reported like a file");
  PrintReports();
}

std::string ShellFolder(int id) {
  char path[MAX_PATH] = {};
  ::SHGetSpecialFolderPathA(nullptr, path, id, FALSE);
  return path;
}

// The folders the running system names are refused, folders below them
// are not.
void SystemFoldersRefused() {
  const folders::ProtectedFolders system = folders::SystemProtectedFolders();
  auto refused = [&](const std::string& folder) {
    return folders::CheckOwnableFolder(folder, system).refusal ==
           folders::FolderRefusal::kProtectedFolder;
  };
  const std::string profile = ShellFolder(CSIDL_PROFILE);
  const std::string users = profile.substr(0, profile.find_last_of('\\'));
  const std::string refusedFolders[] = {
      ShellFolder(CSIDL_WINDOWS),          ShellFolder(CSIDL_SYSTEM),
      ShellFolder(CSIDL_PROGRAM_FILES),    ShellFolder(CSIDL_COMMON_APPDATA),
      profile,                             users,
      users + "\\Someone",                 ShellFolder(CSIDL_DESKTOPDIRECTORY),
      ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY), ShellFolder(CSIDL_STARTMENU),
      ShellFolder(CSIDL_COMMON_PROGRAMS),  "c:\\WINDOWS\\",
      "C:\\Program Files\\..\\windows",
  };
  for (const std::string& folder : refusedFolders) {
    const bool ok = !folder.empty() && refused(folder);
    Check(ok, ("system folder refused: " + folder).c_str());
  }
  for (const std::string& folder :
       {ShellFolder(CSIDL_PROGRAM_FILES) + "\\Tavisk\\Parvane", std::string("C:\\Parvane"),
        ShellFolder(CSIDL_APPDATA) + "\\Tavisk"}) {
    Check(!refused(folder), ("folder below a system folder accepted: " + folder).c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: tree_removal_probe SCRATCH_FOLDER [LINKED_TREE]\n");
    return 2;
  }
  const std::string root = argv[1];
  if (!::CreateDirectoryA(root.c_str(), nullptr)) {
    std::printf("cannot make %s\n", root.c_str());
    return 2;
  }
  FileAndSubfolder(root);
  EmptyFolders(root);
  ReadOnlyFileDeepInside(root);
  HiddenAndSystemFiles(root);
  MissingFolderAndFile(root);
  if (argc > 2) LinkInsideTheTree(argv[2]);
  SystemFoldersRefused();
  ::RemoveDirectoryA(root.c_str());
  return probe::Finish();
}
