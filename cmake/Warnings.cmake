include(CheckCXXCompilerFlag)
# The factory keeps a virtual destructor in its last slot although its class is final:
# the slot belongs to the table the host sees.
check_cxx_compiler_flag(-Wunnecessary-virtual-specifier MIDIMOD_HAS_UNNECESSARY_VIRTUAL_WARNING)

# Warnings every target of the project builds with.
function(midimod_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
        -Wno-sign-conversion -Wnon-virtual-dtor -Werror=return-type)
    if(MIDIMOD_HAS_UNNECESSARY_VIRTUAL_WARNING)
        target_compile_options(${target} PRIVATE -Wno-unnecessary-virtual-specifier)
    endif()
endfunction()
