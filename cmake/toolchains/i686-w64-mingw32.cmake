# Cross-build for 32-bit Windows with mingw-w64 (posix threads). The driver functions use __stdcall
# here, as the adapter maker's 32-bit library does.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KLXR_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
