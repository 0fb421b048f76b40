// What the statically linked C++ runtime would otherwise bring into the
// image for failures the installer never recovers from:
// - the default terminate handler prints the type of an escaped exception
//   and for that links a name demangler of some 46 KB;
// - the std::__throw_* functions that std::string calls on a length error
//   or an exhausted heap build exception objects with messages, which pulls
//   in <stdexcept> and a second, copy-on-write std::string (about 56 KB).
// Nothing in the installer catches those exceptions, so each would end in
// terminate and abort anyway; here they abort at once. The program's own
// file errors are thrown and caught as before.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

namespace std {

void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }

}  // namespace std
