# Shared part of the mingw-w64 toolchain files; KLXR_MINGW_TRIPLET names the target.
set(CMAKE_C_COMPILER ${KLXR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KLXR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KLXR_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KLXR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No libgcc, libstdc++ or winpthread DLLs to ship next to the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Nothing of the build machine's own: no Linux pkg-config packages, no Qt.
set(ENV{PKG_CONFIG_LIBDIR} ${CMAKE_FIND_ROOT_PATH}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(KLXR_BUILD_UI OFF CACHE BOOL "Build the Qt desktop program (needs Qt for Windows)")
set(KLXR_BUILD_BENCH OFF CACHE BOOL "Build the benchmarks (Google Benchmark is not cross-built)")

# GoogleTest is compiled from its sources for the target, since the build machine's are Linux ones.
set(KLXR_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the tests")
