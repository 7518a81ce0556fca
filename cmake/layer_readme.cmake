# Writes the README's "The platform layer" section (up to the next section of the same or a higher
# level) as a document of its own: libkvrplatform-dev's README.md.
# Usage: cmake -DREADME=README.md -DOUTPUT=out.md -P layer_readme.cmake
file(READ "${README}" text)
string(FIND "${text}" "\n### The platform layer\n" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${README} has no section \"### The platform layer\"")
endif()
math(EXPR start "${start} + 1")
string(SUBSTRING "${text}" ${start} -1 section)
string(LENGTH "${section}" length)
foreach(next "\n## " "\n### ")
  string(FIND "${section}" "${next}" end)
  if(end GREATER 0 AND end LESS length)
    set(length ${end})
  endif()
endforeach()
string(SUBSTRING "${section}" 0 ${length} section)
# The section is the document: its heading one level up, the rest as it stands.
string(SUBSTRING "${section}" 2 -1 section)
file(WRITE "${OUTPUT}" "${section}\nFrom the README of kvrview, http://www.kvrview.org.\n")
