# GoogleTest for the Windows builds, compiled from Debian's sources (the googletest package) with
# the same static runtime as the rest of the Windows build. Tests link GTest::gtest_main as the
# native tests do; nothing is built unless a test program links it.
set(ZELVANE_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows tests")
if(NOT EXISTS ${ZELVANE_GOOGLETEST_SOURCE}/googletest/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${ZELVANE_GOOGLETEST_SOURCE} (Debian: apt install googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${ZELVANE_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest names its own targets GTest::gtest and GTest::gtest_main.
# The win32 thread model of MinGW has no std::mutex, which GoogleTest's Notification is built on;
# an event stands in for it.
target_compile_options(gtest PUBLIC -include ${CMAKE_CURRENT_LIST_DIR}/windows-googletest-notification.hpp)
