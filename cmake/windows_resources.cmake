# Every Windows program carries its version resource and its application manifest: the version
# equal to the project's (FileVersion and the manifest's assembly version alike), Windows 10 and 11
# and Server 2016 and later as its supported systems, paths beyond MAX_PATH (the programs size
# their path buffers to the path), and the caller's rights.
#
# tavro_windows_resources(<target> <description> [WINDOWED] [MESSAGES <file.mc>])
#   WINDOWED: a windowed program, with common controls 6 and awareness of the screen's DPI.
#   MESSAGES: a message table compiled with windmc into the program (an event source's texts).
function(tavro_windows_resources target description)
  cmake_parse_arguments(arg "WINDOWED" "MESSAGES" "" ${ARGN})
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/resources/${target})
  set(TAVRO_PROGRAM ${target})
  set(TAVRO_DESCRIPTION ${description})
  set(TAVRO_MANIFEST ${folder}/${target}.manifest)
  set(TAVRO_MANIFEST_DEPENDENCY "")
  set(TAVRO_MANIFEST_SETTINGS "")
  if(arg_WINDOWED)
    string(CONCAT TAVRO_MANIFEST_DEPENDENCY
      "  <dependency>\n    <dependentAssembly>\n"
      "      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"\n"
      "                        processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>\n"
      "    </dependentAssembly>\n  </dependency>\n")
    set(TAVRO_MANIFEST_SETTINGS
      "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>\n")
  endif()
  set(TAVRO_RC_MESSAGES "")
  set(TAVRO_RC_MESSAGES_NOTE "")
  set(depends ${TAVRO_MANIFEST})
  if(arg_MESSAGES)
    get_filename_component(messages ${arg_MESSAGES} NAME_WE)
    add_custom_command(
      OUTPUT ${folder}/${messages}.rc ${folder}/MSG00409.bin
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${CMAKE_MC_COMPILER} -r ${folder} -h ${folder} ${arg_MESSAGES}
      DEPENDS ${arg_MESSAGES}
      VERBATIM)
    set(TAVRO_RC_MESSAGES "#include \"${messages}.rc\"")
    set(TAVRO_RC_MESSAGES_NOTE ", and its message table")
    list(APPEND depends ${folder}/${messages}.rc ${folder}/MSG00409.bin)
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/program_win32.manifest.in ${TAVRO_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/program_win32.rc.in ${folder}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${folder}/${target}.rc)
  set_source_files_properties(${folder}/${target}.rc PROPERTIES OBJECT_DEPENDS "${depends}"
    INCLUDE_DIRECTORIES ${folder})
endfunction()
