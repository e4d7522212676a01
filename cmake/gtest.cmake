# GoogleTest: the installed package on Linux; for a cross-build, Debian's
# sources (/usr/src/googletest) built with the target's compiler; they
# name their targets GTest::gtest and so on themselves.
if(CMAKE_CROSSCOMPILING)
    set(KEEPRUN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the cross-build")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${KEEPRUN_GTEST_SOURCE} "${PROJECT_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
else()
    find_package(GTest REQUIRED)
endif()
