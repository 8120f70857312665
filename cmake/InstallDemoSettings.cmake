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
file(READ "${TARVELLO_DEMO_SETTINGS}" settings)
# Every file name first, then web addresses (a scheme before "://") back.
string(REGEX REPLACE "\nNames ([0-9]+)=([^\n/][^\n]*)" "\nNames \\1=@DEMO@/\\2" settings
                     "${settings}")
string(REGEX REPLACE "@DEMO@/([A-Za-z][A-Za-z0-9+.-]*://)" "\\1" settings "${settings}")
string(REGEX REPLACE "\nLast Dir=[^\n]*" "\nLast Dir=@DEMO@/" settings "${settings}")
string(REPLACE "@DEMO@" "${folder}" settings "${settings}")
get_filename_component(staged_folder "${TARVELLO_DEMO_STAGED}" DIRECTORY)
file(MAKE_DIRECTORY "${staged_folder}")
# file(READ) has dropped the carriage returns: the settings file's CR LF line
# ends are put back.
file(CONFIGURE OUTPUT "${TARVELLO_DEMO_STAGED}" CONTENT "${settings}" @ONLY NEWLINE_STYLE CRLF)
file(INSTALL DESTINATION "${folder}" TYPE FILE
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ FILES "${TARVELLO_DEMO_STAGED}")
