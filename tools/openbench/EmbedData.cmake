# Writes OUT, a C++ source that holds every file of the folder DATA as bytes:
# the table EmbeddedFiles of tools/openbench/EmbeddedData.h. Run at build time:
#   cmake -DDATA=<Data folder> -DOUT=<source to write> -P EmbedData.cmake
file(GLOB names LIST_DIRECTORIES false RELATIVE "${DATA}" "${DATA}/*")
list(SORT names)
if(NOT names)
  message(FATAL_ERROR "no files in ${DATA}")
endif()

string(REPEAT "0x[0-9a-f][0-9a-f]," 16 row)  # sixteen bytes to a line
set(arrays "")
set(entries "")
set(index 0)
foreach(name IN LISTS names)
  file(READ "${DATA}/${name}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(${row})" "\\1\n    " bytes "${bytes}")
  # a closing 0 keeps an empty file's array legal; Size leaves it out
  string(APPEND arrays "const unsigned char File${index}[] = {\n    ${bytes}0};\n")
  string(APPEND entries "    {\"${name}\", File${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()

file(WRITE "${OUT}" "// Generated at build time from Data/ by tools/openbench/EmbedData.cmake.
#include \"tools/openbench/EmbeddedData.h\"

namespace {
${arrays}}  // namespace

const EmbeddedFile EmbeddedFiles[] = {
${entries}};
const int EmbeddedFileCount = ${index};
")
