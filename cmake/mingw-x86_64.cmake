# Cross-build of the same code for 64-bit Windows. The product is the 32-bit build; this one runs
# the Windows tests where 32-bit programs cannot run (machines that execute 64-bit user code only).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
