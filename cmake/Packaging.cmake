# The Debian package, made by CPack from the install rules (scripts/package).
# Its dependencies are what dpkg-shlibdeps finds the program linked to.
set(TARVELLO_MAINTAINER "The Tarvello team <team@tarvello.example>")
# The release date goes with the version: the AppStream data, the manual page
# and the package's change log show it.
execute_process(COMMAND date -u -R -d "${TARVELLO_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE TARVELLO_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

# Debian asks every package for its copyright and change log in its doc folder.
configure_file(packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
                   COMMAND ${TARVELLO_GZIP} -9nkf ${CMAKE_BINARY_DIR}/packaging/changelog
                   DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(tarvello_package_files ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${TARVELLO_INSTALL_HELPDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvello)
set(CPACK_PACKAGE_VENDOR "The Tarvello team")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TARVELLO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "prompter for musicians on stage, driven by MIDI")
# CPack puts the summary above this.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tarvello shows a musician's prompts on stage: lyrics, chord charts, set
lists and scores. A keyboard, pedal board or sequencer sends a MIDI
Program Change or Control Change, and its value picks one of 123 prompt
slots: a line of text in large type, or a file (plain text, RTF, a PDF at
a page, HTML, pictures, a web address). Values 122 to 127 step through
lines, pages and prompts.

It talks MIDI over ALSA or JACK, sends MIDI strings when a slot is chosen,
and can serve band screens to phones and tablets on the same network.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TARVELLO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tarvello.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window-system plugins (xcb, wayland) at run time, where
# dpkg-shlibdeps cannot see them, and Qt's library only recommends them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# The install rules then see the package's own prefix, which the demo's
# settings name.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
