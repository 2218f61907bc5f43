# Checks that the program's version resource carries the project's version, as the resource
# compiler reads it back from the built program: the fixed file and product versions as numbers,
# and the FileVersion and ProductVersion texts.
# cmake -DWINDRES=i686-w64-mingw32-windres -DEXE=Kordane.exe -DVERSION=3.1.0 -P CheckVersion.cmake
execute_process(COMMAND "${WINDRES}" -i "${EXE}" -O rc OUTPUT_VARIABLE resources
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${WINDRES} cannot read the resources of ${EXE}")
endif()
string(REPLACE "." ", " numbers "${VERSION}")
foreach(expected "FILEVERSION ${numbers}, 0" "PRODUCTVERSION ${numbers}, 0"
                 "VALUE \"FileVersion\", \"${VERSION}\"" "VALUE \"ProductVersion\", \"${VERSION}\"")
  string(FIND "${resources}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${EXE}: its version resource lacks ${expected}")
  endif()
endforeach()
message(STATUS "${EXE} carries version ${VERSION}")
