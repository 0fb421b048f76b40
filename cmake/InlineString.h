// Included before every C++ source of the Windows build. libstdc++ declares
// its std::string members as instantiated in the library, so using any of
// them links the library's whole string object (some 32 KB). With the
// declarations off for basic_string alone, the members the program uses are
// instantiated in its own objects and the linker keeps only those.
#pragma once
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
