# Writes a C++ source that holds the bytes of INPUT and returns them from FUNCTION.
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DHEADER=<include> -DFUNCTION=<name> -P embed_file.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR byte_count "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPLACE "0x0a," "0x0a,\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.
#include \"${HEADER}\"

namespace zelvane {
namespace {
// One byte more than the file so that an empty file still gives a valid array.
const unsigned char kBytes[] = {
    ${bytes}0x00
};
}  // namespace

std::string_view ${FUNCTION}() {
    return std::string_view(reinterpret_cast<const char*>(kBytes), ${byte_count});
}

}  // namespace zelvane
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
