# Installation. The program finds the speech SDK libraries and their data in its
# own directory, so all of them go into one private program directory, and the
# command in bin is a symbolic link to the program there.
include(GNUInstallDirs)

set(TOLVANE_INSTALL_PROGRAMDIR "lib/tolvane" CACHE STRING
    "Program directory under the prefix: the program, the speech SDK libraries and their data")

install(TARGETS tolvane
    RUNTIME DESTINATION ${TOLVANE_INSTALL_PROGRAMDIR})
install(TARGETS hci_sys hci_asr_recorder hci_tts_player
    LIBRARY DESTINATION ${TOLVANE_INSTALL_PROGRAMDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/sdk/data/
    DESTINATION ${TOLVANE_INSTALL_PROGRAMDIR}/data
    FILES_MATCHING PATTERN "*.txt")

# The build RPATH points into the build tree; the installed files keep only
# directories of libraries from outside the project (none for a system Qt).
# The SDK libraries are loaded by path, so they need no RPATH entry either.
set_target_properties(tolvane hci_sys hci_asr_recorder hci_tts_player PROPERTIES
    INSTALL_RPATH ""
    INSTALL_RPATH_USE_LINK_PATH ON)

# The link is made at configure time and installed as a link, so that it is
# listed in install_manifest.txt like every other installed file.
file(RELATIVE_PATH _tolvane_link_target
    /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${TOLVANE_INSTALL_PROGRAMDIR}/tolvane)
set(_tolvane_link ${CMAKE_BINARY_DIR}/install-link/tolvane)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-link)
file(CREATE_LINK ${_tolvane_link_target} ${_tolvane_link} SYMBOLIC)
install(FILES ${_tolvane_link} DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${CMAKE_SOURCE_DIR}/resources/tolvane.desktop
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/images/tolvane.png
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/256x256/apps)

# Menus and panels draw the icon at small sizes; scaled copies of the 256 px icon
# spare every launcher from scaling it down itself.
find_program(TOLVANE_CONVERT convert)
if(NOT TOLVANE_CONVERT)
    message(FATAL_ERROR "ImageMagick's convert was not found; run scripts/setup.sh")
endif()
set(_tolvane_generated)
foreach(size 16 24 32 48 64 128)
    set(_icon ${CMAKE_BINARY_DIR}/icons/${size}x${size}/tolvane.png)
    add_custom_command(OUTPUT ${_icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${TOLVANE_CONVERT} ${CMAKE_SOURCE_DIR}/resources/images/tolvane.png
            -resize ${size}x${size} -strip PNG32:${_icon}
        DEPENDS ${CMAKE_SOURCE_DIR}/resources/images/tolvane.png
        COMMENT "Scaling the icon to ${size} px")
    list(APPEND _tolvane_generated ${_icon})
    install(FILES ${_icon} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/resources/example.merovaal.Tolvane.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tolvane)

# Debian wants the changelog and the manual page compressed to the maximum and
# without a time stamp, so that builds of the same sources give the same files.
find_program(TOLVANE_GZIP gzip REQUIRED)
foreach(_pair "changelog;${CMAKE_INSTALL_DATAROOTDIR}/doc/tolvane" "tolvane.1;${CMAKE_INSTALL_MANDIR}/man1")
    list(GET _pair 0 _name)
    list(GET _pair 1 _destination)
    set(_output ${CMAKE_BINARY_DIR}/packaging/${_name}.gz)
    add_custom_command(OUTPUT ${_output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
        COMMAND ${TOLVANE_GZIP} -9 -n -c ${CMAKE_SOURCE_DIR}/packaging/${_name} > ${_output}
        DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${_name}
        COMMENT "Compressing ${_name}")
    list(APPEND _tolvane_generated ${_output})
    install(FILES ${_output} DESTINATION ${_destination})
endforeach()
add_custom_target(tolvane_install_files ALL DEPENDS ${_tolvane_generated})

# The installation test installs this build tree with this CMake and starts
# the installed program, so the program and the generated files must be built
# before the test.
if(TARGET install_tst_install)
    add_dependencies(install_tst_install tolvane tolvane_install_files)
    target_compile_definitions(install_tst_install PRIVATE
        TOLVANE_CMAKE_COMMAND="${CMAKE_COMMAND}"
        TOLVANE_BINARY_DIR="${CMAKE_BINARY_DIR}"
        TOLVANE_INSTALL_PROGRAMDIR="${TOLVANE_INSTALL_PROGRAMDIR}"
        TOLVANE_INSTALL_BINDIR="${CMAKE_INSTALL_BINDIR}"
        TOLVANE_INSTALL_DATAROOTDIR="${CMAKE_INSTALL_DATAROOTDIR}")
endif()
