# GoogleTest and GoogleMock compiled from source as part of this build, for targets (Windows) where
# the build machine's own libraries cannot be linked. Provides the same GTest:: targets as
# find_package(GTest).
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${KLXR_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(target gtest gtest_main gmock gmock_main)
  # The project's warning flags are for the project's own code.
  set_property(TARGET ${target} PROPERTY COMPILE_OPTIONS "")
  target_compile_options(${target} PRIVATE -w)
endforeach()
