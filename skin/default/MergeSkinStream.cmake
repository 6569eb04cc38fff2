# cmake -DLAYOUT=in -DSKIN=packed -DOUTPUT=out -P MergeSkinStream.cmake
#
# Writes the layout with the packed skin as the value of its SkinStream property: the
# stored form of that property is the skin's length as a little-endian int32, then the
# packed bytes. The layout in the source tree holds an empty value, "bin {}", which
# is all a layout read without the build's help (a test, a tool) sees.
file(READ ${LAYOUT} _text)
file(READ ${SKIN} _hex HEX)
file(SIZE ${SKIN} _size)
string(TOUPPER "${_hex}" _hex)

# The length, little-endian.
set(_len "")
foreach(_shift 0 8 16 24)
  math(EXPR _byte "(${_size} >> ${_shift}) & 255" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${_byte}" 2 -1 _byte)
  string(LENGTH "${_byte}" _n)
  if(_n EQUAL 1)
    set(_byte "0${_byte}")
  endif()
  string(TOUPPER "${_byte}" _byte)
  string(APPEND _len "${_byte}")
endforeach()

# 96 hexadecimal digits a line keep the text readable in an editor.
set(_lines "")
string(LENGTH "${_len}${_hex}" _total)
set(_all "${_len}${_hex}")
set(_pos 0)
while(_pos LESS _total)
  string(SUBSTRING "${_all}" ${_pos} 96 _chunk)
  string(APPEND _lines "      ${_chunk}\n")
  math(EXPR _pos "${_pos} + 96")
endwhile()

string(REGEX MATCH "\n([ ]*)SkinStream = bin {[^}]*}" _found "${_text}")
if(NOT _found)
  message(FATAL_ERROR "${LAYOUT} has no SkinStream = bin {} property to fill")
endif()
set(_indent "${CMAKE_MATCH_1}")
string(REGEX REPLACE "\n[ ]*SkinStream = bin {[^}]*}" "\n${_indent}SkinStream = bin {\n${_lines}${_indent}}" _text "${_text}")
file(WRITE ${OUTPUT}.tmp "${_text}")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
