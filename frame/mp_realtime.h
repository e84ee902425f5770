// Marks the functions a host calls on its audio thread. Clang then checks that nothing
// they reach allocates, locks or blocks: at compile time with -Wfunction-effects, and
// at run time with -fsanitize=realtime. Other compilers see nothing.
#pragma once

#if defined(__has_cpp_attribute)
#if __has_cpp_attribute(clang::nonblocking)
#define MP_NONBLOCKING [[clang::nonblocking]]
#endif
#endif
#ifndef MP_NONBLOCKING
#define MP_NONBLOCKING
#endif
