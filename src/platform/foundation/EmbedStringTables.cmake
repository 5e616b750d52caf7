# Run as a script: cmake -DOUTPUT=<file.cpp> -DINPUTS=<a.json|b.json> -P EmbedStringTables.cmake
# Writes a source file that holds every string table as text, so nothing needs installing.
# A table that is not valid JSON fails the build here, naming the file.
string(REPLACE "|" ";" INPUTS "${INPUTS}")
set(body "")
set(count 0)
foreach(input IN LISTS INPUTS)
    get_filename_component(name "${input}" NAME_WE)
    file(READ "${input}" content)
    string(JSON kind ERROR_VARIABLE problem TYPE "${content}")
    if(problem OR NOT kind STREQUAL "OBJECT")
        message(FATAL_ERROR "String table ${input} is not a JSON object: ${problem}")
    endif()
    if(content MATCHES "\\)tidemark_strings\"")
        message(FATAL_ERROR "String table ${input} contains the embedding delimiter")
    endif()
    string(APPEND body "    {\"${name}\", R\"tidemark_strings(${content})tidemark_strings\"},\n")
    math(EXPR count "${count} + 1")
endforeach()
set(text "// Generated from resources/strings/*.json by EmbedStringTables.cmake. Do not edit.
#include \"platform/foundation/StringTables.hpp\"

namespace tidemark::detail {

const EmbeddedStringTable embeddedStringTables[] = {
${body}};
const std::size_t embeddedStringTableCount = ${count};

} // namespace tidemark::detail
")
# Rewritten only when it changes, so that a rebuild does not recompile it needlessly.
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" previous)
    if(previous STREQUAL text)
        return()
    endif()
endif()
file(WRITE "${OUTPUT}" "${text}")
