// Loads a DLL by its bare name, the way a program looks for an optional
// library, once with the installer's start-up restriction of the library
// search and once without: a copy planted beside the program must be found
// only without it.
//   dll_search_probe.exe restricted|plain
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "framework/LibrarySearch.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dll_search_probe restricted|plain\n");
    return 2;
  }
  if (std::strcmp(argv[1], "restricted") == 0) framework::RestrictLibrarySearch();
  HMODULE planted = ::LoadLibraryA("planted_probe.dll");
  if (planted) {
    std::printf("LOADED\n");
    return 0;
  }
  std::printf("NOT LOADED %lu\n", ::GetLastError());
  return 1;
}
