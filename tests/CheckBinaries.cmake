# Checks the shipped Windows binaries from outside: the stand-in exports the host library's seven
# operations under their plain names, and Kordane.exe and BoardView.exe are self-contained GUI
# programs. Kordane.exe ships stripped and under 1.5 MB, imports exactly the functions of IMPORTS (sorted
# "dll!function" lines; the list it has is written to ACTUAL_IMPORTS) and none that its oldest
# Windows lacks (MISSING_ON_MINIMUM).
#   cmake -DOBJDUMP=... -DBIN_DIR=... -DFORMAT=pei-i386 -DIMPORTS=... -DACTUAL_IMPORTS=...
#         -DMISSING_ON_MINIMUM=... -P CheckBinaries.cmake
cmake_minimum_required(VERSION 3.25)
function(dump file out)
  execute_process(COMMAND "${OBJDUMP}" -p "${BIN_DIR}/${file}" OUTPUT_VARIABLE text
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot read ${file}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

dump(Dbx32.dll dll)
foreach(operation TOpenDesign TCloseDesign TGetDesignInfo TGetFirstSelectedItem
                  TGetNextSelectedItem TRotateComponent TMoveComponent)
  if(NOT dll MATCHES "[ \t]${operation}\r?\n")
    message(FATAL_ERROR "Dbx32.dll does not export ${operation} under its plain name")
  endif()
endforeach()

dump(Kordane.exe exe)
if(NOT exe MATCHES "file format ${FORMAT}")
  message(FATAL_ERROR "Kordane.exe is not ${FORMAT}")
endif()
if(NOT exe MATCHES "Subsystem[ \t]+0+2[ \t]+\\(Windows GUI\\)")
  message(FATAL_ERROR "Kordane.exe is not a GUI program")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${exe}")
foreach(import ${imports})
  if(import MATCHES "(libstdc|libgcc|libwinpthread|Dbx32)")
    message(FATAL_ERROR "Kordane.exe must not import ${import} (static, host loaded at run time)")
  endif()
endforeach()

# Every function Kordane.exe imports, as "dll!function" with the DLL's name in lower case.
string(REGEX MATCHALL "DLL Name: [^\r\n]+|\n\t[0-9a-fA-F]+\t +[0-9]+  [^\r\n]+" entries "${exe}")
set(functions "")
foreach(entry ${entries})
  if(entry MATCHES "^DLL Name: (.+)$")
    string(STRIP "${CMAKE_MATCH_1}" library)
    string(TOLOWER "${library}" library)
  elseif(entry MATCHES "  ([^ \t]+)$")
    list(APPEND functions "${library}!${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT functions)
list(JOIN functions "\n" listed)
file(WRITE "${ACTUAL_IMPORTS}" "${listed}\n")

file(STRINGS "${MISSING_ON_MINIMUM}" missing REGEX "^[^#]")
set(too_new "")
foreach(function ${functions})
  string(TOLOWER "${function}" lower)
  foreach(name ${missing})
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" name)
    if(lower MATCHES "^([^!]+)!(.+)$" AND (CMAKE_MATCH_1 STREQUAL name OR CMAKE_MATCH_2 STREQUAL name))
      list(APPEND too_new "${function}")
    endif()
  endforeach()
endforeach()
if(too_new)
  list(JOIN too_new "\n  " said)
  message(FATAL_ERROR "Kordane.exe imports what Windows 7 SP1 lacks; look it up at run time:\n  ${said}")
endif()

file(STRINGS "${IMPORTS}" expected)
set(changes "")
foreach(function ${functions})
  if(NOT function IN_LIST expected)
    string(APPEND changes "\n  + ${function}")
  endif()
endforeach()
foreach(function ${expected})
  if(NOT function IN_LIST functions)
    string(APPEND changes "\n  - ${function}")
  endif()
endforeach()
if(changes)
  message(FATAL_ERROR "The functions Kordane.exe imports have changed:${changes}\n"
                      "Check each against Windows 7 SP1; when the change is meant, copy "
                      "${ACTUAL_IMPORTS} over tests/Kordane.imports.")
endif()

execute_process(COMMAND "${OBJDUMP}" -t "${BIN_DIR}/Kordane.exe" OUTPUT_VARIABLE symbols)
if(NOT symbols MATCHES "SYMBOL TABLE:[\r\n]+no symbols")
  message(FATAL_ERROR "Kordane.exe ships with its symbol table: link it with -s")
endif()
# The README gives its size as under 1.5 MB.
file(SIZE "${BIN_DIR}/Kordane.exe" size)
if(size GREATER_EQUAL 1500000)
  message(FATAL_ERROR "Kordane.exe has grown to ${size} bytes: the README says under 1.5 MB")
endif()

# The board view ships beside them: a GUI program as self-contained as Kordane.exe.
dump(BoardView.exe view)
if(NOT view MATCHES "file format ${FORMAT}" OR
   NOT view MATCHES "Subsystem[ \t]+0+2[ \t]+\\(Windows GUI\\)")
  message(FATAL_ERROR "BoardView.exe is not a ${FORMAT} GUI program")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" view_imports "${view}")
foreach(import ${view_imports})
  if(import MATCHES "(libstdc|libgcc|libwinpthread|Dbx32)")
    message(FATAL_ERROR "BoardView.exe must not import ${import}")
  endif()
endforeach()
message(STATUS "Dbx32.dll exports and the programs' imports are as shipped: ${imports}")
