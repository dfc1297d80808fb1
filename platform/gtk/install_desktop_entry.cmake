# Writes the desktop entry with the folders the game is installed in, at install time, so that the
# entry is right whatever --prefix or DESTDIR say. The build includes it too, with
# CORVEL_ENTRY_ONLY, for the entry the validator checks.
# Needs CORVEL_DESKTOP_TEMPLATE, CORVEL_BINDIR and CORVEL_DATADIR (as GNUInstallDirs gives them) and
# CORVEL_STAGING, a folder of the build; sets CORVEL_DESKTOP_FILE to the entry written.

function(corvel_installed_dir out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

corvel_installed_dir(corvel_bindir "${CORVEL_BINDIR}")
corvel_installed_dir(corvel_datadir "${CORVEL_DATADIR}")

# String values escape backslashes; Exec also quotes the program and escapes what quotes do not protect.
string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" corvel_program "${corvel_bindir}/corvel")
string(REPLACE "\\" "\\\\" CORVEL_EXEC "\"${corvel_program}\"")
string(REPLACE "\\" "\\\\" CORVEL_LEVEL_DIR "${corvel_datadir}/corvel")

# Installs that run side by side (as the tests' do) each write a copy of their own.
string(MD5 corvel_key "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(CORVEL_DESKTOP_FILE "${CORVEL_STAGING}/${corvel_key}/net.corvelgame.Corvel.desktop")
configure_file("${CORVEL_DESKTOP_TEMPLATE}" "${CORVEL_DESKTOP_FILE}" @ONLY)
if(NOT CORVEL_ENTRY_ONLY)
  file(INSTALL "${CORVEL_DESKTOP_FILE}" DESTINATION "${corvel_datadir}/applications")
endif()
