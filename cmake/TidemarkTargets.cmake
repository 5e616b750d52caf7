# Helpers that keep every folder's CMakeLists.txt to a few lines.

set(TIDEMARK_WARNINGS -Wall -Wextra -pedantic)

# tidemark_library(<target> [FLAT] [PURE] [FILES <files…>] [DEPS <targets…>])
# A static library, its headers reachable as "<folder>/<Header>.hpp" from src/. A library
# of headers alone is an interface library.
#
# Without FILES it holds every .cpp and .hpp of the calling folder and its sub-folders (FLAT:
# of the folder alone, its sub-folders being libraries of their own), except the files
# another library of the folder names in its FILES. With FILES it holds those files alone:
# that is how a folder splits its Qt part (views, or services over Qt-backed platform
# layers) from its pure part.
#
# PURE: the library's link closure must hold no Qt (the test build_pure_targets_link_no_qt
# fails when it does), so moc need not look at it.
function(tidemark_library target)
    cmake_parse_arguments(ARG "FLAT;PURE" "" "FILES;DEPS" ${ARGN})
    if(ARG_FILES)
        set(sources)
        foreach(file IN LISTS ARG_FILES)
            list(APPEND sources "${CMAKE_CURRENT_SOURCE_DIR}/${file}")
        endforeach()
        set_property(DIRECTORY APPEND PROPERTY TIDEMARK_NAMED_FILES ${sources})
        # The folder's library of the rest may already stand: it lets these files go.
        get_property(rest DIRECTORY PROPERTY TIDEMARK_REST_LIBRARY)
        if(rest)
            get_target_property(rest_sources ${rest} SOURCES)
            list(REMOVE_ITEM rest_sources ${sources})
            set_property(TARGET ${rest} PROPERTY SOURCES ${rest_sources})
        endif()
    else()
        if(ARG_FLAT)
            file(GLOB sources CONFIGURE_DEPENDS
                "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.hpp")
        else()
            file(GLOB_RECURSE sources CONFIGURE_DEPENDS
                "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.hpp")
        endif()
        get_property(named DIRECTORY PROPERTY TIDEMARK_NAMED_FILES)
        if(named)
            list(REMOVE_ITEM sources ${named})
        endif()
        set_property(DIRECTORY PROPERTY TIDEMARK_REST_LIBRARY ${target})
    endif()

    set(compiled ${sources})
    list(FILTER compiled INCLUDE REGEX "\\.cpp$")
    if(compiled)
        add_library(${target} STATIC ${sources})
        set(scope PUBLIC)
        target_compile_options(${target} PRIVATE ${TIDEMARK_WARNINGS})
        if(NOT ARG_PURE)
            set_target_properties(${target} PROPERTIES AUTOMOC ON)
        endif()
    else()
        add_library(${target} INTERFACE ${sources})
        set(scope INTERFACE)
    endif()
    target_include_directories(${target} ${scope}
        "${PROJECT_SOURCE_DIR}/src" "${PROJECT_BINARY_DIR}/generated")
    target_compile_definitions(${target} ${scope} QT_NO_KEYWORDS)
    target_link_libraries(${target} ${scope} ${ARG_DEPS})
    if(ARG_PURE)
        set_property(GLOBAL APPEND PROPERTY TIDEMARK_PURE_TARGETS ${target})
    endif()
endfunction()

# tidemark_test(<name> [QAPPLICATION] [PURE] [DEPS <targets…>] [LABELS <labels…>])
# One GoogleTest program of every .cpp in the calling folder (not its sub-folders, which
# hold programs of their own), registered with CTest. Its main sets up the manual main
# queue and timers; QAPPLICATION runs the tests inside a QApplication (offscreen), for
# programs that need Qt's event loop, widgets or D-Bus. PURE as for tidemark_library.
function(tidemark_test name)
    cmake_parse_arguments(ARG "QAPPLICATION;PURE" "" "DEPS;LABELS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.hpp")
    add_executable(${name} ${sources})
    target_compile_options(${name} PRIVATE ${TIDEMARK_WARNINGS})
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests" "${PROJECT_SOURCE_DIR}/src")
    target_compile_definitions(${name} PRIVATE QT_NO_KEYWORDS)
    if(ARG_QAPPLICATION)
        set(main tidemark_testmain_qt)
    else()
        set(main tidemark_testmain)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock ${main})
    if(ARG_PURE)
        set_property(GLOBAL APPEND PROPERTY TIDEMARK_PURE_TARGETS ${name})
    else()
        set_target_properties(${name} PROPERTIES AUTOMOC ON)
    endif()
    # One environment entry: gtest_discover_tests splits a list of properties at its
    # semicolons, so a second entry would swallow the properties after it.
    set(properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
    if(ARG_LABELS)
        list(APPEND properties LABELS "${ARG_LABELS}")
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()

# tidemark_use_xcb(<target>): links xcb where its headers are there and defines
# TIDEMARK_HAVE_XCB, for programs that talk to the X server beside Qt.
function(tidemark_use_xcb target)
    pkg_check_modules(XCB IMPORTED_TARGET xcb)
    if(XCB_FOUND)
        target_link_libraries(${target} PRIVATE PkgConfig::XCB)
        target_compile_definitions(${target} PRIVATE TIDEMARK_HAVE_XCB)
    endif()
endfunction()

# tidemark_benchmark(<name> <source> [DEPS <targets…>])
function(tidemark_benchmark name source)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE ${TIDEMARK_WARNINGS})
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/bench")
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()

# --- The build's own checks -------------------------------------------------------------

# Every target defined in `dir` and below.
function(_tidemark_targets_below dir out)
    get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirs)
        _tidemark_targets_below("${sub}" below)
        list(APPEND targets ${below})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

# The direct link dependencies of a target, generator expressions that only mark how a
# dependency is linked taken off.
function(_tidemark_direct_deps target out)
    get_target_property(type ${target} TYPE)
    get_target_property(imported ${target} IMPORTED)
    set(deps)
    if(NOT imported AND NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(linked ${target} LINK_LIBRARIES)
        if(linked)
            list(APPEND deps ${linked})
        endif()
    endif()
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    if(interface)
        list(APPEND deps ${interface})
    endif()
    list(TRANSFORM deps REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1")
    list(REMOVE_DUPLICATES deps)
    set(${out} ${deps} PARENT_SCOPE)
endfunction()

# Whether a link item is Qt: a Qt target, or a library file or expression naming Qt.
function(_tidemark_is_qt item out)
    if(item MATCHES "^Qt[0-9]*::" OR item MATCHES "Qt6")
        set(${out} TRUE PARENT_SCOPE)
    else()
        set(${out} FALSE PARENT_SCOPE)
    endif()
endfunction()

# The first chain of link dependencies from `target` to Qt ("a -> b -> Qt6::Core"), or
# empty when its link closure holds no Qt.
function(_tidemark_qt_chain target out)
    set(queue ${target})
    set(seen ${target})
    set(chain_${target} ${target})
    while(queue)
        list(POP_FRONT queue current)
        if(NOT TARGET ${current})
            continue()
        endif()
        _tidemark_direct_deps(${current} deps)
        foreach(dep IN LISTS deps)
            _tidemark_is_qt("${dep}" qt)
            if(qt)
                set(${out} "${chain_${current}} -> ${dep}" PARENT_SCOPE)
                return()
            endif()
            if(dep IN_LIST seen OR NOT TARGET ${dep})
                continue()
            endif()
            list(APPEND seen ${dep})
            list(APPEND queue ${dep})
            set(chain_${dep} "${chain_${current}} -> ${dep}")
        endforeach()
    endwhile()
    set(${out} "" PARENT_SCOPE)
endfunction()

# Writes what the checks read (every target of src/, tests/ and bench/: its files and its
# direct dependencies; the Qt chain of every pure target) and registers the checks.
function(tidemark_add_build_checks)
    _tidemark_targets_below("${PROJECT_SOURCE_DIR}" targets)
    set(text "# Written by CMake at configure time for the build checks in cmake/.\n")
    set(listed)
    foreach(target IN LISTS targets)
        get_target_property(dir ${target} SOURCE_DIR)
        if(NOT dir MATCHES "^${PROJECT_SOURCE_DIR}/(src|tests|bench)(/|$)")
            continue()
        endif()
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "^(STATIC_LIBRARY|INTERFACE_LIBRARY|EXECUTABLE)$")
            continue()
        endif()
        get_target_property(sources ${target} SOURCES)
        set(files)
        foreach(source IN LISTS sources)
            cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY "${dir}" NORMALIZE OUTPUT_VARIABLE file)
            # Checked-in files only: a file generated into a build folder that lies inside the
            # source tree (build/, build-sanitize/) is not there until it is built, and its
            # includes are the generator's, not a developer's.
            if(file MATCHES "^${PROJECT_SOURCE_DIR}/(src|tests|bench)/"
                    AND file MATCHES "\\.(cpp|cc|hpp)$")
                list(APPEND files "${file}")
            endif()
        endforeach()
        _tidemark_direct_deps(${target} deps)
        list(APPEND listed ${target})
        string(APPEND text "set(TIDEMARK_${target}_FILES \"${files}\")\n")
        string(APPEND text "set(TIDEMARK_${target}_DEPS \"${deps}\")\n")
        string(APPEND text "set(TIDEMARK_${target}_TYPE ${type})\n")
    endforeach()
    get_property(pure GLOBAL PROPERTY TIDEMARK_PURE_TARGETS)
    foreach(target IN LISTS pure)
        _tidemark_qt_chain(${target} chain)
        string(APPEND text "set(TIDEMARK_${target}_QT_CHAIN \"${chain}\")\n")
    endforeach()
    string(APPEND text "set(TIDEMARK_TARGETS \"${listed}\")\n")
    string(APPEND text "set(TIDEMARK_PURE_TARGETS \"${pure}\")\n")
    set(graph "${PROJECT_BINARY_DIR}/TidemarkBuildGraph.cmake")
    file(CONFIGURE OUTPUT "${graph}" CONTENT "${text}" @ONLY)

    add_test(NAME build_pure_targets_link_no_qt
        COMMAND "${CMAKE_COMMAND}" "-DGRAPH=${graph}"
                -P "${PROJECT_SOURCE_DIR}/cmake/CheckPureTargets.cmake")
    add_test(NAME build_targets_link_what_they_include
        COMMAND "${CMAKE_COMMAND}" "-DGRAPH=${graph}" "-DSOURCE_DIR=${PROJECT_SOURCE_DIR}"
                -P "${PROJECT_SOURCE_DIR}/cmake/CheckTargetIncludes.cmake")
    set_tests_properties(build_pure_targets_link_no_qt build_targets_link_what_they_include
        PROPERTIES LABELS build)
endfunction()
