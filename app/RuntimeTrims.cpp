// What the statically linked C++ runtime would otherwise bring into the
// image for failures the installer never recovers from:
// - the default terminate handler prints the type of an escaped exception
//   and for that links a name demangler of some 46 KB;
// - the std::__throw_* functions that std::string calls on a length error
//   or an exhausted heap build exception objects with messages, which pulls
//   in <stdexcept> and a second, copy-on-write std::string (about 56 KB).
// - the library's operator new throws std::bad_alloc, which brings the
//   whole exception runtime (unwinder, personality, type information) into
//   a program that is built without exceptions.
// Nothing in the installer catches those exceptions, so each would end in
// terminate and abort anyway; here they abort at once.
#include <cstddef>
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
  if (void* block = std::malloc(size != 0 ? size : 1)) return block;
  std::abort();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

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
