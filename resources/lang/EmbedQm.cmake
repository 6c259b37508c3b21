# cmake -DOUTPUT=header -DTEXTS=program.qm [-DQT_TEXTS=qt.qm] -P EmbedQm.cmake
# Writes the compiled translations as two byte arrays; each ends with one extra zero byte so
# that an absent part is still a valid array.
function(_zv_array name file out)
    set(_bytes "")
    if(file AND EXISTS "${file}")
        file(READ "${file}" _hex HEX)
        string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _bytes "${_hex}")
        string(REGEX REPLACE "((0x..,){32})" "\\1\n" _bytes "${_bytes}")
    endif()
    set(${out} "static const unsigned char ${name}[] = {\n${_bytes}0x00};\n" PARENT_SCOPE)
endfunction()

_zv_array(zvProgramTexts "${TEXTS}" _a)
_zv_array(zvQtTexts "${QT_TEXTS}" _b)
file(WRITE "${OUTPUT}.tmp" "// Generated from the language's translation files; do not edit.\n${_a}${_b}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
