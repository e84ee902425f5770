# Sanitizers for a whole build, chosen by a preset: MIDIMOD_SANITIZE lists them as
# -fsanitize takes them (address,undefined or realtime). Any finding stops the program.
set(MIDIMOD_SANITIZE "" CACHE STRING "Sanitizers every target is built with")
option(MIDIMOD_BUILD_FUZZ "Build the fuzz target (clang)" OFF)

if(MIDIMOD_SANITIZE)
    add_compile_options(-fsanitize=${MIDIMOD_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${MIDIMOD_SANITIZE})
    # Objects that cross the binary interface (a host's services) may come from another
    # compiler and carry no type information that the vptr check could read.
    if(MIDIMOD_SANITIZE MATCHES "undefined")
        add_compile_options(-fno-sanitize=vptr)
    endif()
endif()
if(MIDIMOD_BUILD_FUZZ)
    # Coverage for the fuzzer in everything it drives; its main goes into the fuzz target only.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Clang links a sanitizer's runtime into the program only, so a shared library built
# with one leaves the runtime's symbols for the program to provide.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND (MIDIMOD_SANITIZE OR MIDIMOD_BUILD_FUZZ))
    set(MIDIMOD_LIBRARY_RESOLVES_ALL_SYMBOLS OFF)
else()
    set(MIDIMOD_LIBRARY_RESOLVES_ALL_SYMBOLS ON)
endif()
