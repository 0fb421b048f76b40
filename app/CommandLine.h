// How the installer reads its command line. Portable: the lead-byte test of
// the ANSI code page is passed in, so the rules run natively in the tests
// with GBK and on Windows with IsDBCSLeadByte.
#pragma once

#include "payload/Characters.h"

namespace app {

using payload::LeadBytePredicate;

// The process command line without the program's own name and the blanks
// after it. The name ends at the first byte of 0x20 or less outside double
// quotes (each quote switches in and out); a double-byte character is
// stepped over whole, so its trail byte is never taken for a quote or a
// blank. Returns a pointer into `processCommandLine`.
const char* SkipProgramName(const char* processCommandLine, LeadBytePredicate isLeadByte);

// True when "uninstall" occurs in `arguments`, case-sensitive and beginning
// on a character boundary (never on the trail byte of a double-byte
// character); word boundaries, switches and quotes do not matter.
bool RequestsUninstall(const char* arguments, LeadBytePredicate isLeadByte);

}  // namespace app
