# GoogleTest from Debian's source package, and the registration of test programs.
#
# Natively every test case is its own ctest test. Under Wine the cases are registered from
# the sources (discovery would have to run the cross-built program at build time); they run
# through CMAKE_CROSSCOMPILING_EMULATOR and need the fixture that makes the Wine prefix.
include(GoogleTest)

set(SW_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")

macro(sw_setup_googletest)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${SW_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    if(CMAKE_CROSSCOMPILING)
        sw_setup_wine_fixture()
    endif()
endmacro()

function(sw_setup_wine_fixture)
    set(SW_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    set(harness ${CMAKE_SOURCE_DIR}/tests/wine)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${harness}/wine-run.sh ${CMAKE_BINARY_DIR} PARENT_SCOPE)
    add_test(NAME wine.prefix.setup COMMAND ${harness}/wine-fixture.sh setup ${CMAKE_BINARY_DIR})
    add_test(NAME wine.prefix.cleanup COMMAND ${harness}/wine-fixture.sh cleanup ${CMAKE_BINARY_DIR})
    set_tests_properties(wine.prefix.setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
    set_tests_properties(wine.prefix.cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
endfunction()

# sw_add_test_program(NAME SOURCES ... LIBS ... [WINDOWS_ONLY] [FIXTURES ...] [RESOURCE_LOCK name]
#                     [LABEL name])
# Builds one GoogleTest program and registers its cases with ctest. FIXTURES are required
# besides wine (e.g. standin, the stand-in tracker site); cases sharing RESOURCE_LOCK run one
# at a time. A LABEL is given to the native cases besides "native".
function(sw_add_test_program name)
    cmake_parse_arguments(ARG "WINDOWS_ONLY" "RESOURCE_LOCK;LABEL" "SOURCES;LIBS;FIXTURES" ${ARGN})
    if(ARG_WINDOWS_ONLY AND NOT WIN32)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main sw_warnings)
    sw_include_root(${name})
    target_compile_definitions(${name} PRIVATE SW_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    if(CMAKE_CROSSCOMPILING)
        gtest_add_tests(TARGET ${name} SOURCES ${ARG_SOURCES} TEST_LIST cases)
        set_tests_properties(${cases} PROPERTIES FIXTURES_REQUIRED "wine;${ARG_FIXTURES}" LABELS wine TIMEOUT 300)
        if(ARG_RESOURCE_LOCK)
            set_tests_properties(${cases} PROPERTIES RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
        endif()
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native TIMEOUT 300)
        if(ARG_LABEL)
            # Discovery passes no list of labels on; a script that ctest reads after its list of
            # cases adds the second one.
            set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
            file(WRITE ${script} "if(${name}_TESTS)\n"
                "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"native;${ARG_LABEL}\")\n"
                "endif()\n")
            set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
        endif()
    endif()
endfunction()
