# Reads the member table, checks the member files against it and writes the
# digests the tool verifies its appended block with.
#
# update_members_prepare(<members dir> <table file> <digest include out>)
#   sets UPDATE_MEMBER_FILES (in block order) in the caller's scope.

function(update_members_prepare members_dir table_file digest_out)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${table_file}")
  file(STRINGS "${table_file}" rows REGEX "^UPDATE_MEMBER\\(")
  if(NOT rows)
    message(FATAL_ERROR "No UPDATE_MEMBER rows in ${table_file}")
  endif()

  set(files "")
  set(digests "// Generated from the member files in ${members_dir}; SHA-256 per member.\n")
  foreach(row IN LISTS rows)
    if(NOT row MATCHES "^UPDATE_MEMBER\\(\"([^\"]+)\", *([0-9]+)\\)")
      message(FATAL_ERROR "Unreadable member row in ${table_file}: ${row}")
    endif()
    set(name "${CMAKE_MATCH_1}")
    set(size "${CMAKE_MATCH_2}")
    set(file "${members_dir}/${name}.MPX")
    if(NOT EXISTS "${file}")
      message(FATAL_ERROR "Update member missing: ${file} (the table expects ${size} bytes)")
    endif()
    file(SIZE "${file}" actual)
    if(NOT actual EQUAL size)
      message(FATAL_ERROR "Update member ${file} is ${actual} bytes; the table expects ${size}")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
    list(APPEND files "${file}")

    file(SHA256 "${file}" hex)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(APPEND digests "{${bytes}}, // ${name}\n")
  endforeach()

  # Rewrite only on change, so an unchanged configure does not rebuild the tool.
  file(CONFIGURE OUTPUT "${digest_out}" CONTENT "${digests}" @ONLY)
  set(UPDATE_MEMBER_FILES "${files}" PARENT_SCOPE)
endfunction()
