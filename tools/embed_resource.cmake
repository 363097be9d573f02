# Turns a file into a C++ source that returns its bytes from a function.
# Usage: cmake -DINPUT=file -DOUTPUT=file.cpp -DHEADER=dir/name.h -DFUNCTION=name -P embed_resource.cmake
foreach(variable INPUT OUTPUT HEADER FUNCTION)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "embed_resource.cmake: ${variable} is not set")
  endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
if(hexLength EQUAL 0)
  message(FATAL_ERROR "embed_resource.cmake: ${INPUT} is empty")
endif()
# Sixteen bytes to a line (CMake's regular expressions have no {16}).
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")

file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} by embed_resource.cmake; do not edit.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace {\n"
  "const unsigned char kBytes[] = {\n    ${bytes}\n};\n"
  "}  // namespace\n\n"
  "std::span<const unsigned char> ${FUNCTION}() { return kBytes; }\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
