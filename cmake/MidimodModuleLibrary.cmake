# midimod_add_module_library(NAME SOURCES file... [MODULES id...] [PINS file] [NO_VALIDATION_TEST])
#
# Builds a module library the way the host loads one: the frame and the module sources
# compiled straight into one shared library (a static archive would let the linker drop
# the modules' registrations), exporting MP_GetFactory alone, and on Windows carrying its
# own C++ runtime. PINS names the file describing the modules' pins for midimod list,
# render and validate; it is copied beside the library as <library file name>.pins.
# Adds the CTest test validate_NAME, which runs `midimod validate` on the library (under
# the emulator when cross building) for the modules listed under MODULES, or else for
# those the pin file describes.

# Where the frame's sources and the export lists are; an installed package sets these first.
if(NOT DEFINED MIDIMOD_FRAME_DIR)
    set(MIDIMOD_FRAME_DIR ${CMAKE_CURRENT_LIST_DIR}/../frame)
endif()
if(NOT DEFINED MIDIMOD_EXPORTS_DIR)
    set(MIDIMOD_EXPORTS_DIR ${CMAKE_CURRENT_LIST_DIR})
endif()

function(midimod_add_module_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "NO_VALIDATION_TEST" "PINS" "SOURCES;MODULES")
    if(NOT arg_SOURCES)
        message(FATAL_ERROR "midimod_add_module_library(${name}): no SOURCES given")
    endif()
    file(GLOB frame_sources CONFIGURE_DEPENDS ${MIDIMOD_FRAME_DIR}/*.cpp)
    add_library(${name} SHARED ${frame_sources} ${arg_SOURCES})
    target_include_directories(${name} PRIVATE ${MIDIMOD_FRAME_DIR} ${MIDIMOD_FRAME_DIR}/interface)
    set_target_properties(${name} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    target_compile_features(${name} PRIVATE cxx_std_20)
    if(WIN32)
        # NAME.dll, exporting only what the .def file lists, with no MinGW DLL beside it.
        set_target_properties(${name} PROPERTIES PREFIX "")
        target_sources(${name} PRIVATE ${MIDIMOD_EXPORTS_DIR}/midi_modules.def)
        target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
    else()
        target_link_options(${name} PRIVATE -Wl,--version-script=${MIDIMOD_EXPORTS_DIR}/midi_modules.map)
        # A sanitizer build with clang leaves its runtime's symbols to the program.
        if(NOT DEFINED MIDIMOD_LIBRARY_RESOLVES_ALL_SYMBOLS OR MIDIMOD_LIBRARY_RESOLVES_ALL_SYMBOLS)
            target_link_options(${name} PRIVATE -Wl,-z,defs)
        endif()
    endif()
    if(arg_PINS)
        get_filename_component(pins ${arg_PINS} ABSOLUTE)
        add_custom_command(TARGET ${name} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E copy ${pins} $<TARGET_FILE:${name}>.pins VERBATIM)
    endif()
    if(NOT arg_NO_VALIDATION_TEST)
        if(NOT arg_MODULES AND NOT arg_PINS)
            message(FATAL_ERROR "midimod_add_module_library(${name}): name the modules to validate "
                "with MODULES, or describe them with PINS")
        endif()
        _midimod_add_validation_test(${name} "${arg_MODULES}")
    endif()
endfunction()

# The test runs the program MIDIMOD_PROGRAM names, else the midimod target of this
# project (or, outside it, a midimod on the PATH).
function(_midimod_add_validation_test name modules)
    set(module_options)
    foreach(module ${modules})
        list(APPEND module_options --module ${module})
    endforeach()
    if(MIDIMOD_PROGRAM)
        set(validator ${CMAKE_CROSSCOMPILING_EMULATOR} ${MIDIMOD_PROGRAM})
    else()
        set(validator midimod)  # as a target name, CTest runs it under the emulator itself
    endif()
    add_test(NAME validate_${name} COMMAND ${validator} validate $<TARGET_FILE:${name}> ${module_options})
    if(WIN32 AND NOT MIDIMOD_PROGRAM)
        set_tests_properties(validate_${name} PROPERTIES FIXTURES_REQUIRED wine)
    endif()
endfunction()
