# cmake -DGRAPH=<build>/TidemarkBuildGraph.cmake -DSOURCE_DIR=<source> -P CheckTargetIncludes.cmake
cmake_minimum_required(VERSION 3.25)
# Fails when a target does not link what its files include, or links what they never
# include. A quoted include names a header of some target: that target must be a direct
# dependency. An angle include of a library we use (Qt, nlohmann/json, SQLiteCpp, spdlog,
# ICU, libical, xcb) asks for that library as a direct dependency, and each such library
# linked directly must be included somewhere.
include("${GRAPH}")

# The test programs' support libraries come with the main every test program links.
set(implicit tidemark_testsupport tidemark_testmain tidemark_testmain_qt)

# External libraries: each target and a pattern of the includes that ask for it.
set(external_patterns
    "Qt6::Core=^Q[A-Za-z]*$"
    "Qt6::Gui=^Q[A-Za-z]*$"
    "Qt6::Widgets=^Q[A-Za-z]*$"
    "Qt6::DBus=^QDBus"
    "Qt6::Network=^Q(Network|Tcp|Udp|HostAddress|Ssl|LocalS|AbstractSocket)"
    "Qt6::Test=^Q(Test|SignalSpy)"
    "nlohmann_json::nlohmann_json=^nlohmann/"
    "SQLiteCpp=^(SQLiteCpp/|sqlite3\\.h$)"
    "spdlog::spdlog=^spdlog/"
    "PkgConfig::ICU=^unicode/"
    "PkgConfig::LIBICAL=^(libical/|ical\\.h$)"
    "PkgConfig::XCB=^xcb/")
set(external_targets)
foreach(entry IN LISTS external_patterns)
    string(FIND "${entry}" "=" at)
    string(SUBSTRING "${entry}" 0 ${at} external)
    math(EXPR at "${at} + 1")
    string(SUBSTRING "${entry}" ${at} -1 pattern)
    string(MAKE_C_IDENTIFIER "${external}" id)
    set(pattern_${id} "${pattern}")
    list(APPEND external_targets ${external})
endforeach()
# A library no target links is not there on this machine (xcb is optional): nothing is
# asked of it.
set(linked_anywhere)
foreach(target IN LISTS TIDEMARK_TARGETS)
    list(APPEND linked_anywhere ${TIDEMARK_${target}_DEPS})
endforeach()
# Any Qt header asks for some Qt module; these ask for their own module as well.
set(qt_modules Qt6::Core Qt6::Gui Qt6::Widgets Qt6::DBus Qt6::Network Qt6::Test)
set(specific_externals Qt6::DBus Qt6::Network Qt6::Test nlohmann_json::nlohmann_json SQLiteCpp
    spdlog::spdlog PkgConfig::ICU PkgConfig::LIBICAL PkgConfig::XCB)

# Who holds each file. A header of a test program that another program includes is a
# shared test helper, not a dependency.
foreach(target IN LISTS TIDEMARK_TARGETS)
    foreach(file IN LISTS TIDEMARK_${target}_FILES)
        string(MAKE_C_IDENTIFIER "${file}" key)
        list(APPEND holders_${key} ${target})
        if(NOT TIDEMARK_${target}_TYPE STREQUAL "EXECUTABLE")
            list(APPEND owners_${key} ${target})
        endif()
    endforeach()
endforeach()

set(problems)
foreach(target IN LISTS TIDEMARK_TARGETS)
    set(deps ${TIDEMARK_${target}_DEPS})
    set(needed)
    set(unsatisfied)
    set(external_seen)
    foreach(file IN LISTS TIDEMARK_${target}_FILES)
        file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        get_filename_component(here "${file}" DIRECTORY)
        foreach(line IN LISTS lines)
            if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
                set(name "${CMAKE_MATCH_1}")
                set(resolved)
                foreach(base IN ITEMS "${here}" "${SOURCE_DIR}/src" "${SOURCE_DIR}/tests"
                        "${SOURCE_DIR}/bench")
                    if(EXISTS "${base}/${name}")
                        cmake_path(SET resolved NORMALIZE "${base}/${name}")
                        break()
                    endif()
                endforeach()
                if(NOT resolved)
                    continue() # generated at build time
                endif()
                string(MAKE_C_IDENTIFIER "${resolved}" key)
                set(owners ${owners_${key}})
                # Test and benchmark programs' own helpers need no library.
                if(NOT owners AND (holders_${key} OR NOT resolved MATCHES "^${SOURCE_DIR}/src/"))
                    continue()
                endif()
                if(NOT owners)
                    string(REPLACE "${SOURCE_DIR}/" "" shown "${resolved}")
                    list(APPEND problems "${target}: includes ${shown}, which no target holds")
                    continue()
                endif()
                if(target IN_LIST owners)
                    continue()
                endif()
                set(linked FALSE)
                foreach(owner IN LISTS owners)
                    if(owner IN_LIST deps OR owner IN_LIST implicit)
                        set(linked TRUE)
                    endif()
                    list(APPEND needed ${owner})
                endforeach()
                if(NOT linked)
                    list(JOIN owners " or " wanted)
                    list(APPEND unsatisfied "${wanted} (for ${name})")
                endif()
            elseif(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
                set(name "${CMAKE_MATCH_1}")
                foreach(external IN LISTS external_targets)
                    string(MAKE_C_IDENTIFIER "${external}" id)
                    if(name MATCHES "${pattern_${id}}")
                        list(APPEND external_seen ${external})
                    endif()
                endforeach()
                if(name MATCHES "^Q[A-Za-z]*$")
                    set(any FALSE)
                    foreach(module IN LISTS qt_modules)
                        if(module IN_LIST deps)
                            set(any TRUE)
                        endif()
                    endforeach()
                    if(NOT any)
                        list(APPEND unsatisfied "a Qt module (for <${name}>)")
                    endif()
                endif()
                foreach(external IN LISTS specific_externals)
                    string(MAKE_C_IDENTIFIER "${external}" id)
                    if(name MATCHES "${pattern_${id}}" AND external IN_LIST linked_anywhere
                            AND NOT external IN_LIST deps)
                        list(APPEND unsatisfied "${external} (for <${name}>)")
                    endif()
                endforeach()
            endif()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES unsatisfied)
    foreach(item IN LISTS unsatisfied)
        list(APPEND problems "${target}: does not link ${item}")
    endforeach()
    foreach(dep IN LISTS deps)
        if(dep IN_LIST implicit)
            continue()
        endif()
        if(dep IN_LIST TIDEMARK_TARGETS AND NOT dep IN_LIST needed)
            list(APPEND problems "${target}: links ${dep}, whose headers it never includes")
        elseif(dep IN_LIST external_targets AND NOT dep IN_LIST external_seen)
            list(APPEND problems "${target}: links ${dep}, whose headers it never includes")
        endif()
    endforeach()
endforeach()

if(problems)
    list(LENGTH problems count)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Targets that do not link what their files include, or link more "
        "(${count}; see each folder's CMakeLists.txt):\n  ${text}")
endif()
list(LENGTH TIDEMARK_TARGETS count)
message(STATUS "${count} targets link what their files include, and nothing else")
