# keeprun_test(<name> LABEL <unit|gui|e2e> SOURCES ... LIBS ...): one GoogleTest
# binary, each test case a CTest test carrying the label.
function(keeprun_test name)
    cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_LABEL)
        set(ARG_LABEL unit)
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        # Listing the tests under an emulator (Wine) may take a while.
        DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT}
                   ENVIRONMENT "KEEPRUN_BUILD_DIR=${PROJECT_BINARY_DIR}")
endfunction()
