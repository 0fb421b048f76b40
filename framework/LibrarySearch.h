#pragma once

namespace framework {

// Limits where the process looks for DLLs that it loads at run time to the
// system folder, so that a DLL planted beside the program (a downloads
// folder is full of strangers' files) is never loaded. Systems without
// SetDefaultDllDirectories at least lose the current folder from the search.
void RestrictLibrarySearch();

}  // namespace framework
