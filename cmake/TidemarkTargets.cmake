# Helpers that keep every folder's CMakeLists.txt to a few lines.

set(TIDEMARK_WARNINGS -Wall -Wextra -pedantic)

# tidemark_library(<target> [FLAT] [DEPS <targets…>])
# A static library of every .cpp in the calling folder, its headers reachable as
# "<folder>/<Header>.hpp" from src/.
function(tidemark_library target)
    cmake_parse_arguments(ARG "FLAT" "" "DEPS" ${ARGN})
    if(ARG_FLAT)
        # Sub-folders are libraries of their own.
        file(GLOB sources CONFIGURE_DEPENDS
            "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.hpp")
    else()
        file(GLOB_RECURSE sources CONFIGURE_DEPENDS
            "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.hpp")
    endif()
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}/src" "${PROJECT_BINARY_DIR}/generated")
    target_compile_options(${target} PRIVATE ${TIDEMARK_WARNINGS})
    target_compile_definitions(${target} PUBLIC QT_NO_KEYWORDS)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
endfunction()

# tidemark_test(<name> [DEPS <targets…>] [LABELS <labels…>])
# One GoogleTest program of every .cpp in the calling folder (not its sub-folders, which
# hold programs of their own), registered with CTest.
function(tidemark_test name)
    cmake_parse_arguments(ARG "" "" "DEPS;LABELS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.hpp")
    add_executable(${name} ${sources})
    target_compile_options(${name} PRIVATE ${TIDEMARK_WARNINGS})
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests" "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock tidemark_testsupport)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TIDEMARK_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# tidemark_benchmark(<name> <source> [DEPS <targets…>])
function(tidemark_benchmark name source)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE ${TIDEMARK_WARNINGS})
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/bench")
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()
