# Windows system libraries bound at their first call instead of at the program's start: a program
# that reads no SQL source never loads ODBC32.dll, one without an automation source never loads the
# COM libraries. Starting a program that imports ole32, oleaut32 and ODBC32 costs about 40 ms of CPU
# under wine, twice what a program importing only KERNEL32 and msvcrt costs.
#
# tavro_delay_loaded(<var> <name>...) sets <var> to delay-load libraries of lib<name>.a: every name
# the import library exports goes into a .def, of which dlltool makes a library whose calls load
# the DLL the first time one of them is made (mingw-w64's __delayLoadHelper2). The DLLs are parts of
# every Windows, so the load at a first call does not fail where the load at start would not.
function(tavro_delay_loaded var)
  set(folder ${CMAKE_BINARY_DIR}/delay_loaded)
  file(MAKE_DIRECTORY ${folder})
  set(libraries)
  foreach(name IN LISTS ARGN)
    find_library(TAVRO_IMPORT_${name} NAMES lib${name}.a REQUIRED)
    set(import ${TAVRO_IMPORT_${name}})
    set(delayed ${folder}/lib${name}_delayed.a)
    if(NOT EXISTS ${delayed} OR ${import} IS_NEWER_THAN ${delayed})
      execute_process(COMMAND ${CMAKE_DLLTOOL} --identify ${import}
        OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
      execute_process(COMMAND ${CMAKE_NM} --defined-only ${import}
        OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
      # The functions: "T" symbols, without the import thunks' "__imp_" names and section symbols.
      string(REGEX MATCHALL "[0-9a-f]+ T [A-Za-z_][A-Za-z0-9_@]*" functions "${symbols}")
      list(TRANSFORM functions REPLACE "^[0-9a-f]+ T " "")
      list(REMOVE_DUPLICATES functions)
      list(JOIN functions "\n" exports)
      file(WRITE ${folder}/${name}.def "LIBRARY ${dll}\nEXPORTS\n${exports}\n")
      execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${folder}/${name}.def --dllname ${dll}
        --output-delaylib ${delayed} COMMAND_ERROR_IS_FATAL ANY)
    endif()
    list(APPEND libraries ${delayed})
  endforeach()
  set(${var} ${libraries} PARENT_SCOPE)
endfunction()
