# Warnings every target of the project builds with.
function(midimod_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
        -Wno-sign-conversion -Wnon-virtual-dtor -Werror=return-type)
endfunction()
