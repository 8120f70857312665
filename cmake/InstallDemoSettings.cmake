# Run at install time: installs the demo's settings with each slot's relative
# file name made absolute in the installed demo folder, so that the installed
# program finds the demo's files from wherever it is started. Web addresses
# and empty slots stay as they are. The prefix is the one of this install
# (cmake --install --prefix, or the package's).
#   TARVELLO_DEMO_SETTINGS  the demo's settings file in the sources
#   TARVELLO_DEMO_STAGED    where to write the installed copy before installing it
#   TARVELLO_DEMO_DIR       the demo folder, relative to the prefix
if(IS_ABSOLUTE "${TARVELLO_DEMO_DIR}")
  set(folder "${TARVELLO_DEMO_DIR}")
else()
  set(folder "${CMAKE_INSTALL_PREFIX}/${TARVELLO_DEMO_DIR}")
endif()
# One settings or show file: read, its file names made absolute, staged and
# installed into `destination`.
function(install_demo_file source staged destination)
  file(READ "${source}" settings)
  # Every file name first, then web addresses (a scheme before "://") back.
  string(REGEX REPLACE "\nNames ([0-9]+)=([^\n/][^\n]*)" "\nNames \\1=@DEMO@/\\2" settings
                       "${settings}")
  string(REGEX REPLACE "@DEMO@/([A-Za-z][A-Za-z0-9+.-]*://)" "\\1" settings "${settings}")
  string(REGEX REPLACE "\nLast Dir=[^\n]*" "\nLast Dir=@DEMO@/" settings "${settings}")
  string(REPLACE "@DEMO@" "${folder}" settings "${settings}")
  get_filename_component(staged_folder "${staged}" DIRECTORY)
  file(MAKE_DIRECTORY "${staged_folder}")
  # file(READ) has dropped the carriage returns: the files' CR LF line ends
  # are put back.
  file(CONFIGURE OUTPUT "${staged}" CONTENT "${settings}" @ONLY NEWLINE_STYLE CRLF)
  file(INSTALL DESTINATION "${destination}" TYPE FILE
       PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ FILES "${staged}")
endfunction()

install_demo_file("${TARVELLO_DEMO_SETTINGS}" "${TARVELLO_DEMO_STAGED}" "${folder}")
# The demo's other shows, whose slots name the same files.
get_filename_component(source_folder "${TARVELLO_DEMO_SETTINGS}" DIRECTORY)
get_filename_component(staged_root "${TARVELLO_DEMO_STAGED}" DIRECTORY)
file(GLOB shows "${source_folder}/shows/*.ini")
foreach(show ${shows})
  get_filename_component(name "${show}" NAME)
  install_demo_file("${show}" "${staged_root}/shows/${name}" "${folder}/shows")
endforeach()
