# Installs the build into a staging folder (DESTDIR) and checks that the desktop entry starts the installed corvel beside the
# bundled level, and the level pack in its levels folder.
# cmake -DBUILD_DIR=... -DSTAGE=... -DBINDIR=... -DDATADIR=... -DBUNDLED_LEVEL=... -DPACK=... -P check_install.cmake
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env "DESTDIR=${STAGE}" "${CMAKE_COMMAND}" --install "${BUILD_DIR}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

function(expect_file path)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endfunction()

expect_file("${STAGE}${BINDIR}/corvel")
expect_file("${STAGE}${DATADIR}/metainfo/net.corvelgame.Corvel.metainfo.xml")
set(desktop "${STAGE}${DATADIR}/applications/net.corvelgame.Corvel.desktop")
expect_file("${desktop}")

expect_file("${STAGE}${DATADIR}/icons/hicolor/scalable/apps/net.corvelgame.Corvel.svg")
# DESTDIR is the packager's staging folder: the entry names the folders the package installs to.
file(STRINGS "${desktop}" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=\"${BINDIR}/corvel\"")
  message(FATAL_ERROR "the desktop entry runs '${exec}', not ${BINDIR}/corvel")
endif()
file(STRINGS "${desktop}" path REGEX "^Path=")
string(REGEX REPLACE "^Path=" "" path "${path}")
expect_file("${STAGE}${path}/GameData.dat")
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${STAGE}${path}/GameData.dat" "${BUNDLED_LEVEL}"
                RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "the level in ${path} is not the bundled GameData.dat")
endif()
file(GLOB pack RELATIVE "${PACK}" "${PACK}/*.dat" "${PACK}/manifest.tsv")
foreach(file IN LISTS pack ITEMS bundled.dat)
  expect_file("${STAGE}${path}/levels/${file}")
endforeach()
file(REMOVE_RECURSE "${STAGE}")
