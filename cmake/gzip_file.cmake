# corvel_gzip_file(TARGET FILE [INTO FOLDER]): FILE.gz (in FOLDER if given, else beside FILE),
# compressed at build time as Debian wants documents and manual pages: the most, and without the
# file's name or time, so that two builds agree byte for byte. The target's property COMPRESSED_FILE
# names the compressed file.
find_program(CORVEL_GZIP gzip REQUIRED)

function(corvel_gzip_file target file)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" INTO "")
  set(compressed "${file}.gz")
  set(move_it "")
  if(arg_INTO)
    cmake_path(GET file FILENAME name)
    set(compressed "${arg_INTO}/${name}.gz")
    set(move_it COMMAND "${CMAKE_COMMAND}" -E make_directory "${arg_INTO}"
                COMMAND "${CMAKE_COMMAND}" -E rename "${file}.gz" "${compressed}")
  endif()
  add_custom_command(OUTPUT "${compressed}"
                     COMMAND "${CORVEL_GZIP}" -9nkf "${file}" ${move_it}
                     DEPENDS "${file}" VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${compressed}")
  set_target_properties(${target} PROPERTIES COMPRESSED_FILE "${compressed}")
endfunction()
