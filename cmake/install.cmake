# What `cmake --install` puts in place and what the packages hold.
#
# Linux: the layout of an installed system, relative to the install prefix "/" (a staged install:
# `cmake --install build/linux --prefix STAGE`). The launcher finds its configuration and writes its
# daily logs beside itself, so its folder /opt/tavro is the one known folder: the configuration is
# the package's configuration file /etc/opt/tavro/tavrorun.ini, which the folder links to, and the
# logs stay in the folder, which /var/opt/tavro links to. The example and its demo job lie apart in
# /opt/tavro/examples, never among the plant's programs. tavrocheck is a plain program on PATH. The
# unit of the service is installed by `tavrorun -INSTALL` only, and taken away again with the
# package (packaging/deb).
if(WIN32)
  return()
endif()

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "/" CACHE PATH "Root of the installed system" FORCE)
endif()
set(TAVRO_INSTALL_LAUNCHER_DIR "opt/tavro" CACHE STRING "Folder of tavrorun, its configuration and its logs")
set(TAVRO_INSTALL_CONFIG_DIR "etc/opt/tavro" CACHE STRING "Folder of the configuration file")
set(TAVRO_INSTALL_LOG_LINK "var/opt/tavro" CACHE STRING "Link to the folder of the logs")
set(TAVRO_INSTALL_TOOL_DIR "usr/bin" CACHE STRING "Folder of tavrocheck")
set(TAVRO_INSTALL_DOC_DIR "usr/share/doc/tavro-launcher" CACHE STRING "Folder of the reference pages")
set(TAVRO_INSTALL_MAN_DIR "usr/share/man" CACHE STRING "Folder of the manual pages")

# tavrocheck without --ini reads the installed launcher's configuration.
cmake_path(APPEND CMAKE_INSTALL_PREFIX ${TAVRO_INSTALL_LAUNCHER_DIR} tavrorun.ini OUTPUT_VARIABLE tavro_installed_ini)
target_compile_definitions(tavrocheck PRIVATE TAVRO_INSTALLED_INI="${tavro_installed_ini}")

set(tavro_stage ${CMAKE_BINARY_DIR}/install-stage)
file(MAKE_DIRECTORY ${tavro_stage})
# Absolute links, as they are on the installed system.
file(CREATE_LINK /${TAVRO_INSTALL_CONFIG_DIR}/tavrorun.ini ${tavro_stage}/tavrorun.ini SYMBOLIC)
file(CREATE_LINK /${TAVRO_INSTALL_LAUNCHER_DIR} ${tavro_stage}/logs-link SYMBOLIC)
# The example runs its demo job where the package puts it.
file(READ ${CMAKE_SOURCE_DIR}/examples/tavrorun.ini tavro_example)
string(REPLACE "/opt/tavro/jobs/demojob" "/${TAVRO_INSTALL_LAUNCHER_DIR}/examples/demojob" tavro_example "${tavro_example}")
string(REPLACE "/opt/tavro/tags.txt" "/${TAVRO_INSTALL_LAUNCHER_DIR}/examples/tags.txt" tavro_example "${tavro_example}")
file(WRITE ${tavro_stage}/example.ini "${tavro_example}")
file(WRITE ${tavro_stage}/tags.txt "TAG1\n")

install(TARGETS tavrorun DESTINATION ${TAVRO_INSTALL_LAUNCHER_DIR})
install(FILES ${tavro_stage}/tavrorun.ini DESTINATION ${TAVRO_INSTALL_LAUNCHER_DIR})
install(FILES packaging/tavrorun.ini DESTINATION ${TAVRO_INSTALL_CONFIG_DIR})
get_filename_component(tavro_log_link_dir ${TAVRO_INSTALL_LOG_LINK} DIRECTORY)
get_filename_component(tavro_log_link_name ${TAVRO_INSTALL_LOG_LINK} NAME)
install(FILES ${tavro_stage}/logs-link DESTINATION ${tavro_log_link_dir} RENAME ${tavro_log_link_name})
install(TARGETS tavrocheck DESTINATION ${TAVRO_INSTALL_TOOL_DIR})
install(TARGETS demojob DESTINATION ${TAVRO_INSTALL_LAUNCHER_DIR}/examples)
install(FILES ${tavro_stage}/example.ini DESTINATION ${TAVRO_INSTALL_LAUNCHER_DIR}/examples RENAME tavrorun.ini)
install(FILES ${tavro_stage}/tags.txt DESTINATION ${TAVRO_INSTALL_LAUNCHER_DIR}/examples)
install(FILES docs/tavrorun.1.md docs/tavrocheck.1.md docs/configuration.md docs/operation.md docs/sources.md README.md DESTINATION ${TAVRO_INSTALL_DOC_DIR})

# The manual pages, made from the reference pages of docs/ (their one source).
find_program(TAVRO_MD2MAN go-md2man)
find_program(TAVRO_GZIP gzip)
if(TAVRO_MD2MAN AND TAVRO_GZIP)
  set(tavro_man_sources tavrorun.1 tavrocheck.1 configuration)
  set(tavro_man_names tavrorun.1 tavrocheck.1 tavrorun.ini.5)
  # docs/SOURCE.md becomes the page PAGE.SECTION.
  foreach(source page IN ZIP_LISTS tavro_man_sources tavro_man_names)
    string(REGEX MATCH "[0-9]$" section ${page})
    set(man ${CMAKE_BINARY_DIR}/man/${page})
    add_custom_command(
      OUTPUT ${man}.gz
      COMMAND ${CMAKE_COMMAND} -DMD2MAN=${TAVRO_MD2MAN} -DSOURCE=${CMAKE_SOURCE_DIR}/docs/${source}.md -DTARGET=${man}
              -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/man_page.cmake
      COMMAND ${TAVRO_GZIP} -9nf ${man}
      DEPENDS ${CMAKE_SOURCE_DIR}/docs/${source}.md ${CMAKE_SOURCE_DIR}/cmake/man_page.cmake
      VERBATIM)
    list(APPEND tavro_man_pages ${man}.gz)
    install(FILES ${man}.gz DESTINATION ${TAVRO_INSTALL_MAN_DIR}/man${section})
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${tavro_man_pages})
else()
  message(STATUS "go-md2man or gzip not found: no manual pages (scripts/setup installs go-md2man)")
endif()

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
# The SQL sources load the ODBC driver manager when they first connect, where dpkg-shlibdeps cannot
# see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libodbc2")
# Maintainer scripts: the service's unit goes with the program; purge takes the logs.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/packaging/deb/conffiles ${CMAKE_SOURCE_DIR}/packaging/deb/prerm
    ${CMAKE_SOURCE_DIR}/packaging/deb/postinst ${CMAKE_SOURCE_DIR}/packaging/deb/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
