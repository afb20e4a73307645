# Script mode: cmake -DRC=<resource script> -DOUT=<file.cpp> -P TvEmbedResources.cmake
# Writes a C++ file that holds the bytes of every resource the script lists and registers them with
# RegisterEmbeddedResources from a static initializer, so the module finds them as on Windows.
include(${CMAKE_CURRENT_LIST_DIR}/TvResourceList.cmake)
tv_read_resource_list(${RC} res)

set(arrays "")
set(entries "")
set(index 0)
foreach(id type file IN ZIP_LISTS res_IDS res_TYPES res_FILES)
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  if(size EQUAL 0)
    set(bytes "0")
  else()
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
  endif()
  string(APPEND arrays "// ${file}\nconst unsigned char resource${index}[] = {\n${bytes}\n};\n")
  string(APPEND entries "    {\"${type}\", ${id}, resource${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()

file(WRITE ${OUT}.tmp "// Generated from resources/tessivane.rc at build time; do not edit.
#include \"platform/resources.h\"

namespace {

${arrays}
const EmbeddedResource table[] = {
${entries}};

struct Registration {
    Registration() { RegisterEmbeddedResources(table, sizeof table / sizeof table[0]); }
} registration;

} // namespace
")
file(RENAME ${OUT}.tmp ${OUT})
