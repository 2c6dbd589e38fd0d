# cmake -DIMAGE=<linked exe> -DMEMBERS=<f1;f2;...> -DOUTPUT=<tool exe> -P PackUpdateBlock.cmake
#
# The shipped tool is the linked image with the update block appended: the
# members back to back in table order, then the trailer 01 02 03 04 05 06 07 08.
# Nothing in the image points at the block; the tool finds it from the file's end.

foreach(var IMAGE MEMBERS OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "PackUpdateBlock: ${var} not given")
  endif()
endforeach()

set(trailer "${OUTPUT}.trailer")
string(ASCII 1 2 3 4 5 6 7 8 trailer_bytes)
file(WRITE "${trailer}" "${trailer_bytes}")

set(partial "${OUTPUT}.partial")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E cat "${IMAGE}" ${MEMBERS} "${trailer}"
  OUTPUT_FILE "${partial}"
  RESULT_VARIABLE rc)
file(REMOVE "${trailer}")
if(NOT rc EQUAL 0)
  file(REMOVE "${partial}")
  message(FATAL_ERROR "PackUpdateBlock: could not write ${OUTPUT}")
endif()

# Check the result's length before it replaces the old tool, so a short write
# never leaves a tool behind that looks finished.
file(SIZE "${IMAGE}" expected)
foreach(m IN LISTS MEMBERS)
  file(SIZE "${m}" s)
  math(EXPR expected "${expected} + ${s}")
endforeach()
math(EXPR expected "${expected} + 8")
file(SIZE "${partial}" actual)
if(NOT actual EQUAL expected)
  file(REMOVE "${partial}")
  message(FATAL_ERROR "PackUpdateBlock: ${OUTPUT} came out ${actual} bytes, expected ${expected}")
endif()
file(RENAME "${partial}" "${OUTPUT}")
