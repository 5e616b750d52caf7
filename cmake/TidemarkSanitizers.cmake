# Sanitizers for the whole build, and the build of the fuzz targets.
#
# TIDEMARK_SANITIZE: a list of sanitizers for every target ("address,undefined"), as
# `TIDEMARK_SANITIZE=address,undefined scripts/test` builds the suite in build-sanitize/.
# Undefined behaviour stops the program instead of being reported and passed over.
#
# TIDEMARK_FUZZ (clang only): the fuzz targets of tests/fuzz/ become libFuzzer programs, and
# every library is built with libFuzzer's coverage (and address and undefined-behaviour
# sanitizers unless TIDEMARK_SANITIZE names others). `scripts/fuzz` makes such a build.
set(TIDEMARK_SANITIZE "" CACHE STRING "Sanitizers for every target, e.g. address,undefined")
option(TIDEMARK_FUZZ "Build the fuzz targets with libFuzzer (needs clang)" OFF)

if(TIDEMARK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "TIDEMARK_FUZZ needs clang (libFuzzer): configure with "
            "-DCMAKE_CXX_COMPILER=clang++, after `apt-get install clang libclang-rt-14-dev`")
    endif()
    if(NOT TIDEMARK_SANITIZE)
        set(TIDEMARK_SANITIZE "address,undefined")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(TIDEMARK_SANITIZE)
    set(sanitize_flags "-fsanitize=${TIDEMARK_SANITIZE}" -fno-omit-frame-pointer)
    if(TIDEMARK_SANITIZE MATCHES "undefined")
        list(APPEND sanitize_flags -fno-sanitize-recover=undefined)
        # g++ leaves this one out of "undefined"; clang has it in.
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
            list(APPEND sanitize_flags -fsanitize=float-cast-overflow)
        endif()
    endif()
    add_compile_options(${sanitize_flags})
    add_link_options(${sanitize_flags})
    message(STATUS "Sanitizers: ${TIDEMARK_SANITIZE}")
endif()
