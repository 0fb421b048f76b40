// The stand-ins tell the tests that they ran, and how, by appending one line
// to the file named by the environment variable PARVANE_STANDIN_LOG:
//   field<TAB>field...<TAB>current directory CR LF
// in ANSI code page bytes. Without the variable they write nothing.
#pragma once

#include <initializer_list>

// Appends the fields and the current directory as one write, so lines of
// processes running at the same time never interleave. A failure is silent:
// a stand-in has nobody to report it to.
void AppendStandinLine(std::initializer_list<const char*> fields);
