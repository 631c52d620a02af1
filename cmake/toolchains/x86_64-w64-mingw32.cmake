# Cross-build for 64-bit Windows with mingw-w64 (posix threads, for std::thread and friends).
# The runtime is linked statically, so the programs and the driver library run on a bare Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KLXR_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Test programs run under wine64, in a wine prefix of the build folder's own.
find_program(KLXR_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CACHE)
if(KLXR_WINE64 AND CMAKE_BINARY_DIR)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDEBUG=-all
                                    ${KLXR_WINE64})
endif()
