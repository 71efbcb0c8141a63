// How the program's own copy of the C++ library raises its errors. The library's versions build
// each error around a string of the library's older string type, which drags that whole string
// type, and what it uses, into the program: a third of its size. Every handler in the program
// catches all exceptions alike (the dialog procedure, wWinMain), so one exception type serves for
// every error; std::bad_alloc, which needs no string, is the one. Linked into the deliverables only,
// Corvale and Dunlith, which uses Corvale's store: the tests keep the library's own.
#include <new>

namespace std {

[[noreturn]] void __throw_bad_alloc() { throw bad_alloc(); }
[[noreturn]] void __throw_bad_array_new_length() { throw bad_alloc(); }
[[noreturn]] void __throw_length_error(const char*) { throw bad_alloc(); }
[[noreturn]] void __throw_logic_error(const char*) { throw bad_alloc(); }
[[noreturn]] void __throw_out_of_range(const char*) { throw bad_alloc(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { throw bad_alloc(); }
[[noreturn]] void __throw_invalid_argument(const char*) { throw bad_alloc(); }
[[noreturn]] void __throw_bad_function_call() { throw bad_alloc(); }

}  // namespace std
