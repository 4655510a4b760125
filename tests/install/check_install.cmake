# Installs the build into a fresh PREFIX and checks that exactly the program, the command line
# with its manual page, the simulator, the dissector and the desktop files arrive, and that
# they name each other consistently.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(id de.spurnova.QevProgrammer)
set(expected
    bin/qev-devsim
    bin/qev-programmer
    bin/qevctl
    share/applications/${id}.desktop
    share/icons/hicolor/scalable/apps/${id}.svg
    share/man/man1/qevctl.1
    share/metainfo/${id}.metainfo.xml
    share/qev-programmer/wireshark/qev.lua)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
if(NOT installed STREQUAL expected)
    message(FATAL_ERROR "installed:\n  ${installed}\nexpected:\n  ${expected}")
endif()

file(READ "${PREFIX}/share/applications/${id}.desktop" desktop)
file(READ "${PREFIX}/share/metainfo/${id}.metainfo.xml" metainfo)
foreach(needle "\nExec=qev-programmer\n" "\nIcon=${id}\n")
    string(FIND "${desktop}" "${needle}" at)
    if(at LESS 0)
        message(FATAL_ERROR "desktop entry lacks ${needle}")
    endif()
endforeach()
foreach(needle "<id>${id}</id>" "<launchable type=\"desktop-id\">${id}.desktop</launchable>"
               "<binary>qev-programmer</binary>" "<binary>qev-devsim</binary>"
               "<binary>qevctl</binary>"
               "<release version=\"${VERSION}\"")
    string(FIND "${metainfo}" "${needle}" at)
    if(at LESS 0)
        message(FATAL_ERROR "metainfo lacks ${needle}")
    endif()
endforeach()
