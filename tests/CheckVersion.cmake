# Checks that the program's version resource carries the project's version: its fixed file and
# product versions as numbers, and its FileVersion and ProductVersion texts.
# cmake -DEXE=Kordane.exe -DVERSION=3.1.0 -P CheckVersion.cmake
file(READ "${EXE}" image HEX)
string(REPLACE "." ";" parts "${VERSION}")
list(GET parts 0 major)
list(GET parts 1 minor)
list(GET parts 2 patch)

# A 32-bit little-endian word as the file holds it, in hex.
function(word_hex high low out)
  math(EXPR value "(${high} << 16) | ${low}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${value}" 2 -1 digits)
  string(LENGTH "${digits}" length)
  math(EXPR pad "8 - ${length}")
  string(REPEAT "0" ${pad} zeros)
  set(digits "${zeros}${digits}")
  string(SUBSTRING "${digits}" 6 2 b0)
  string(SUBSTRING "${digits}" 4 2 b1)
  string(SUBSTRING "${digits}" 2 2 b2)
  string(SUBSTRING "${digits}" 0 2 b3)
  string(TOLOWER "${b0}${b1}${b2}${b3}" bytes)
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# VS_FIXEDFILEINFO: its signature, the structure's version, then the file and product versions.
word_hex(${major} ${minor} ms)
word_hex(${patch} 0 ls)
set(fixed "bd04effe00000100${ms}${ls}${ms}${ls}")
string(FIND "${image}" "${fixed}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${EXE}: the fixed version info does not carry ${VERSION}")
endif()

# A text as UTF-16 bytes in hex.
function(utf16_hex text out)
  set(bytes "")
  string(LENGTH "${text}" length)
  math(EXPR last "${length} - 1")
  foreach(i RANGE ${last})
    string(SUBSTRING "${text}" ${i} 1 c)
    string(HEX "${c}" h)
    string(APPEND bytes "${h}00")
  endforeach()
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# The texts: each key, padded to a 32-bit boundary, then the value.
utf16_hex("${VERSION}" value)
foreach(key FileVersion ProductVersion)
  utf16_hex("${key}" text)
  string(REGEX MATCH "${text}0000(0000)?${value}0000" found "${image}")
  if(NOT found)
    message(FATAL_ERROR "${EXE}: the ${key} text is not ${VERSION}")
  endif()
endforeach()
message(STATUS "${EXE} carries version ${VERSION}")
