# Keeps count of the folders that `cmake --install` makes, so that the uninstall can remove them again
# once they are empty, and only them: a folder that was there before the install stays.
#   corvel_install_folders(DIR...)   the folders (relative to the prefix, or absolute) a directory installs into
#   corvel_install_folders_finish()  at the end of the top-level CMakeLists: writes the list and the
#                                    uninstall script, build/<preset>/uninstall.cmake
set(CORVEL_INSTALL_FOLDER_LIST "${CMAKE_BINARY_DIR}/install_folders_planned.txt")
set(CORVEL_INSTALL_FOLDER_RECORD "${CMAKE_BINARY_DIR}/install_folders.txt")

# Runs first of all install rules, before any folder is made: notes those that are not there yet.
install(CODE "
  set(CORVEL_INSTALL_FOLDER_LIST \"${CORVEL_INSTALL_FOLDER_LIST}\")
  set(CORVEL_INSTALL_FOLDER_RECORD \"${CORVEL_INSTALL_FOLDER_RECORD}\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/record_install_folders.cmake\")")

function(corvel_install_folders)
  set_property(GLOBAL APPEND PROPERTY CORVEL_INSTALL_FOLDERS ${ARGN})
endfunction()

function(corvel_install_folders_finish)
  get_property(folders GLOBAL PROPERTY CORVEL_INSTALL_FOLDERS)
  list(REMOVE_DUPLICATES folders)
  list(JOIN folders "\n" lines)
  file(CONFIGURE OUTPUT "${CORVEL_INSTALL_FOLDER_LIST}" CONTENT "${lines}\n")
  set(CORVEL_INSTALL_MANIFEST "${CMAKE_BINARY_DIR}/install_manifest.txt")
  configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/uninstall.cmake.in" "${CMAKE_BINARY_DIR}/uninstall.cmake" @ONLY)
endfunction()
