# Runs at install time (see Install.cmake): writes the MATE and Xfce theme entry with the hack's
# full installed path and installs it. Each prefix gets its own staging copy, so two installs
# into different places at once do not share a file.
set(TAVELLO_HACK "${CMAKE_INSTALL_PREFIX}/${TAVELLO_HACK_DIR}/tavello")
string(MD5 tavello_prefix_key "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(tavello_entry "${TAVELLO_STAGING_DIR}/${tavello_prefix_key}/tavello.desktop")
configure_file("${TAVELLO_THEME_ENTRY}" "${tavello_entry}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications/screensavers" TYPE FILE
     FILES "${tavello_entry}")
