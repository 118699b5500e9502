# GoogleTest for the test programs. A native build uses the system's
# libgtest; a cross build compiles it from the sources Debian ships in
# /usr/src/googletest, so the test programs link it statically for Windows.
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
  set(TALLYHORN_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources for the cross build")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory("${TALLYHORN_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
  # GoogleTest's own CMakeLists names its targets GTest::gtest and
  # GTest::gtest_main from version 1.11 on; older ones need the aliases.
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
