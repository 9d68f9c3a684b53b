# GoogleTest: the packaged library natively; built from the packaged sources
# (/usr/src/googletest) when cross-compiling, so the tests also run against
# the Windows C runtime under Wine.
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
    set(QUORRIN_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    # Third-party code: keep our -Werror away from it.
    set(saved_options "${CMAKE_CXX_FLAGS}")
    get_directory_property(saved_compile_options COMPILE_OPTIONS)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
    add_subdirectory(${QUORRIN_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "${saved_compile_options}")
    # Newer GoogleTest sources define these aliases themselves.
    if(NOT TARGET GTest::gtest_main)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
    endif()
else()
    find_package(GTest REQUIRED)
endif()

# quorrin_add_test(NAME name SOURCES ... LIBS ...)
# One GoogleTest executable; its tests are registered with CTest one by one.
# Tests that read fixtures get the source folder in QUORRIN_SOURCE_DIR.
function(quorrin_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
    target_compile_definitions(${T_NAME} PRIVATE
        QUORRIN_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    if(CMAKE_CROSSCOMPILING)
        # Under Wine every start costs a fraction of a second: one CTest entry
        # per executable (CTest runs it through CMAKE_CROSSCOMPILING_EMULATOR).
        add_test(NAME ${T_NAME} COMMAND ${T_NAME})
        set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 600)
    else()
        gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                             PROPERTIES TIMEOUT 300)
    endif()
endfunction()
