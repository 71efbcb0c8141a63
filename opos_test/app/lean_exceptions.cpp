// The standard library's helpers that its containers and strings call to throw. Its own build
// them as std::logic_error and its kin, whose copy-on-write strings bring a second string
// implementation and std::random_device into the program with them: a third of Dunlith. Every
// handler in Dunlith catches all exceptions alike and asks nothing of them, so one small
// exception serves for all.
#include <new>

namespace std {

[[noreturn]] void __throw_bad_alloc() { throw bad_alloc(); }
[[noreturn]] void __throw_bad_array_new_length() { throw bad_alloc(); }
[[noreturn]] void __throw_length_error(const char*) { throw bad_alloc(); }
[[noreturn]] void __throw_logic_error(const char*) { throw bad_alloc(); }
[[noreturn]] void __throw_out_of_range(const char*) { throw bad_alloc(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { throw bad_alloc(); }
[[noreturn]] void __throw_invalid_argument(const char*) { throw bad_alloc(); }

}  // namespace std
