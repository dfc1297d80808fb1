# Part of `cmake --install`, run before anything is installed: adds to the record every planned folder,
# and every folder above it, that does not exist yet. Folders recorded by an earlier install that still
# exist stay recorded: they were made by this build, not by the player.
# Needs CORVEL_INSTALL_FOLDER_LIST, CORVEL_INSTALL_FOLDER_RECORD, and CMAKE_INSTALL_PREFIX as the install sets it.
cmake_policy(VERSION 3.25)
set(corvel_made "")
if(EXISTS "${CORVEL_INSTALL_FOLDER_RECORD}")
  file(STRINGS "${CORVEL_INSTALL_FOLDER_RECORD}" corvel_earlier REGEX .)
  foreach(folder IN LISTS corvel_earlier)
    if(IS_DIRECTORY "${folder}")
      list(APPEND corvel_made "${folder}")
    endif()
  endforeach()
endif()

file(STRINGS "${CORVEL_INSTALL_FOLDER_LIST}" corvel_planned REGEX .)
foreach(folder IN LISTS corvel_planned)
  if(NOT IS_ABSOLUTE "${folder}")
    set(folder "${CMAKE_INSTALL_PREFIX}/${folder}")
  endif()
  set(folder "$ENV{DESTDIR}${folder}")
  cmake_path(NORMAL_PATH folder)
  string(REGEX REPLACE "(.)/$" "\\1" folder "${folder}")
  # Up to the first folder that exists: the prefix itself, too, when the install makes it.
  while(NOT EXISTS "${folder}")
    list(APPEND corvel_made "${folder}")
    cmake_path(GET folder PARENT_PATH folder)
  endwhile()
endforeach()

list(REMOVE_DUPLICATES corvel_made)
list(JOIN corvel_made "\n" corvel_lines)
file(WRITE "${CORVEL_INSTALL_FOLDER_RECORD}" "${corvel_lines}\n")
