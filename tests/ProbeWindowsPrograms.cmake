# Runs a trivial program of the build under Wine; every Windows test needs this to pass.
#   cmake -DWINE_RUN=... -DPROBE=... -P ProbeWindowsPrograms.cmake
execute_process(COMMAND "${WINE_RUN}" "${PROBE}" RESULT_VARIABLE status OUTPUT_VARIABLE out
                ERROR_VARIABLE err TIMEOUT 240)
if(NOT status EQUAL 7)
  string(STRIP "${out}${err}" said)
  if(said)
    set(said ": ${said}")
  endif()
  message(FATAL_ERROR
    "The 32-bit Windows programs of this build cannot start under Wine here (exit ${status}"
    "${said}). On a machine whose kernel cannot start 32-bit programs, run "
    "scripts/install-deps.sh as root: it registers the qemu-user emulator for them.")
endif()
message(STATUS "32-bit Windows programs start under Wine")
