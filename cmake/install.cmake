# What `cmake --install` puts in place and what the packages hold.
#
# Linux: the layout of an installed system, relative to the install prefix "/" (a staged install:
# `cmake --install build/linux --prefix STAGE`). tavrorun lives in a folder of its own under /opt,
# because its configuration and its daily logs sit beside the executable; tavrocheck is a plain
# program on PATH; the example configuration sits beside tavrorun under a name the launcher never
# reads, so that an upgrade never touches the engineer's tavrorun.ini. The package installs the unit
# of the service only when `tavrorun -INSTALL` is run, never by itself.
if(WIN32)
  return()
endif()

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "/" CACHE PATH "Root of the installed system" FORCE)
endif()
set(TAVRO_INSTALL_LAUNCHER_DIR "opt/tavro" CACHE STRING "Folder of tavrorun, its configuration and its logs")
set(TAVRO_INSTALL_TOOL_DIR "usr/bin" CACHE STRING "Folder of tavrocheck")
set(TAVRO_INSTALL_DOC_DIR "usr/share/doc/tavro-launcher" CACHE STRING "Folder of the reference pages")

install(TARGETS tavrorun DESTINATION ${TAVRO_INSTALL_LAUNCHER_DIR})
install(TARGETS tavrocheck DESTINATION ${TAVRO_INSTALL_TOOL_DIR})
# The example's jobs start the demo job, so the example runs as it stands once copied to tavrorun.ini.
install(TARGETS demojob DESTINATION ${TAVRO_INSTALL_LAUNCHER_DIR}/jobs)
install(FILES examples/tavrorun.ini DESTINATION ${TAVRO_INSTALL_LAUNCHER_DIR} RENAME tavrorun.ini.example)
install(FILES docs/tavrorun.1.md docs/tavrocheck.1.md README.md DESTINATION ${TAVRO_INSTALL_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavro-launcher)
set(CPACK_PACKAGE_VENDOR "Tavro")
set(CPACK_PACKAGE_CONTACT "Tavro Launcher developers <launcher@tavro.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Cyclic program launcher for plant data processing")
set(CPACK_PACKAGE_DESCRIPTION "Every ten seconds starts the batch programs of scheduled pumps, batches, \
tasks and reports, gating tasks on a process historian's value. Runs as the systemd service \
TavroRunner (installed by tavrorun -INSTALL), in a terminal window, or headless.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
