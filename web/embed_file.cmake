# Writes the bytes of IN as a C++ source OUT that defines the character array
# NAME and its size NAME_SIZE (the array ends in a NUL that the size leaves out).
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(('[^']*',){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}" "// Generated from ${IN}; do not edit.\n"
  "extern const char ${NAME}[];\nextern const unsigned long ${NAME}Size;\n"
  "const char ${NAME}[] = {\n${bytes}'\\0'};\nconst unsigned long ${NAME}Size = ${size};\n")
