# cmake --install: what an outside project needs to build module libraries after
# find_package(midimod): the frame's headers and sources, the export lists, the function
# midimod_add_module_library, a package configuration, and midimod to validate with.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(MIDIMOD_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/midimod)
set(MIDIMOD_INSTALL_FRAMEDIR ${CMAKE_INSTALL_DATADIR}/midimod/frame)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/frame/ DESTINATION ${MIDIMOD_INSTALL_FRAMEDIR}
    FILES_MATCHING PATTERN "*.h" PATTERN "*.cpp")
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/midimodConfig.cmake.in
    ${CMAKE_BINARY_DIR}/midimodConfig.cmake
    INSTALL_DESTINATION ${MIDIMOD_INSTALL_CMAKEDIR}
    PATH_VARS MIDIMOD_INSTALL_FRAMEDIR CMAKE_INSTALL_BINDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/midimodConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/MidimodModuleLibrary.cmake ${CMAKE_CURRENT_LIST_DIR}/midi_modules.def
    ${CMAKE_CURRENT_LIST_DIR}/midi_modules.map ${CMAKE_BINARY_DIR}/midimodConfig.cmake
    ${CMAKE_BINARY_DIR}/midimodConfigVersion.cmake
    DESTINATION ${MIDIMOD_INSTALL_CMAKEDIR})
if(TARGET midimod)
    install(TARGETS midimod RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
