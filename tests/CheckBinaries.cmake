# Checks the shipped Windows binaries from outside: the stand-in exports the host library's seven
# operations under their plain names, and Kordane.exe and BoardView.exe are self-contained GUI
# programs.
#   cmake -DOBJDUMP=... -DBIN_DIR=... -DFORMAT=pei-i386 -P CheckBinaries.cmake
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
