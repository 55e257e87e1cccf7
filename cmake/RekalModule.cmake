# A core module is one folder of src/core: every .cpp in it forms the static library rekal_<name>,
# linked to the modules it names after DEPENDS. Its tests are tests/core/<name>/*.cpp, built into
# test_<name>. Adding a file to a folder needs no change here. A file named *_win.cpp is the Windows
# twin of a *_posix.cpp beside it: each platform compiles its own.
function(rekal_core_module name)
    cmake_parse_arguments(ARG "" "" "DEPENDS;LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(WIN32)
        list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
    else()
        list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
    endif()
    if(sources)
        add_library(rekal_${name} STATIC ${sources})
        set(scope PUBLIC)
    else()
        add_library(rekal_${name} INTERFACE) # a module whose first file is still being written
        set(scope INTERFACE)
    endif()
    target_include_directories(rekal_${name} ${scope} ${PROJECT_SOURCE_DIR}/src)
    foreach(dep IN LISTS ARG_DEPENDS)
        target_link_libraries(rekal_${name} ${scope} rekal_${dep})
    endforeach()
    if(ARG_LIBS)
        target_link_libraries(rekal_${name} ${scope} ${ARG_LIBS})
    endif()
    set_property(GLOBAL APPEND PROPERTY REKAL_CORE_MODULES rekal_${name})
endfunction()

# Seconds a native test case may take before ctest counts it as hung (several times the slowest
# case under the sanitizers).
set(REKAL_TEST_TIMEOUT 60)

# One test program per folder of tests/core (or tests/win), linked to the named libraries.
function(rekal_test_folder folder name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE REKAL_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    # Each case is one ctest test; the time limit turns a hang into a failure instead of a stalled run.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                         PROPERTIES TIMEOUT ${REKAL_TEST_TIMEOUT})
endfunction()
