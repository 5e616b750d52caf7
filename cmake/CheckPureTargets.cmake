# cmake -DGRAPH=<build>/TidemarkBuildGraph.cmake -P CheckPureTargets.cmake
cmake_minimum_required(VERSION 3.25)
# Fails when a target declared PURE has Qt in its link closure, and shows the chain of
# dependencies that brings Qt in.
include("${GRAPH}")

set(failures 0)
foreach(target IN LISTS TIDEMARK_PURE_TARGETS)
    if(TIDEMARK_${target}_QT_CHAIN)
        message(STATUS "${target} is pure but links Qt: ${TIDEMARK_${target}_QT_CHAIN}")
        math(EXPR failures "${failures} + 1")
    endif()
endforeach()
list(LENGTH TIDEMARK_PURE_TARGETS count)
if(failures)
    message(FATAL_ERROR "${failures} of ${count} pure targets link Qt. Qt belongs in the "
        "platform layers' Qt libraries, views and the services over them; a pure target "
        "reaches a platform layer through its std-only library.")
endif()
message(STATUS "${count} pure targets, none links Qt")
