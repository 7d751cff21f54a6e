# What `cmake --install build [--prefix P]` puts under P (the Debian package uses /usr): the
# program, its place among xscreensaver's hacks, the hosts' registration files, the menu entries,
# the icons, the manual page and the package's documents.
include(GNUInstallDirs)

set(TAVELLO_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(TAVELLO_STAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
# xscreensaver puts this folder in front of the PATH when it starts a hack, and MATE and Xfce
# accept a theme only when its program lies in such a folder.
set(TAVELLO_HACK_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)

install(TARGETS tavello RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package's) also drops the sections nothing reads at run time, as
# Debian's own packaging tools do.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tavello\")
endif()")

# libexec/xscreensaver/tavello: a relative link to the program, so any prefix keeps it working.
file(RELATIVE_PATH tavello_link_target /prefix/${TAVELLO_HACK_DIR}
     /prefix/${CMAKE_INSTALL_BINDIR}/tavello)
file(MAKE_DIRECTORY ${TAVELLO_STAGING_DIR})
file(CREATE_LINK ${tavello_link_target} ${TAVELLO_STAGING_DIR}/tavello SYMBOLIC)
install(FILES ${TAVELLO_STAGING_DIR}/tavello DESTINATION ${TAVELLO_HACK_DIR})

# xscreensaver's (and Xfce's) description of the hack, and the application menu's two entries.
install(FILES ${TAVELLO_PACKAGING_DIR}/xscreensaver/tavello.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${TAVELLO_PACKAGING_DIR}/applications/tavello-settings.desktop
              ${TAVELLO_PACKAGING_DIR}/applications/tavello-password.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The MATE and Xfce theme names the hack by its full path, known only when installing (the
# prefix given to `cmake --install` may differ from the configured one).
install(CODE "set(TAVELLO_HACK_DIR \"${TAVELLO_HACK_DIR}\")
set(TAVELLO_THEME_ENTRY \"${TAVELLO_PACKAGING_DIR}/screensavers/tavello.desktop.in\")
set(TAVELLO_STAGING_DIR \"${TAVELLO_STAGING_DIR}\")")
install(SCRIPT ${TAVELLO_PACKAGING_DIR}/InstallThemeEntry.cmake)

# The icons, drawn by scripts/make-resources.py.
install(DIRECTORY ${TAVELLO_PACKAGING_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The manual page and the changelog, compressed as Debian wants them: no name, no time stamp.
set(tavello_gzipped)
foreach(pair "man/tavello.6|tavello.6.gz" "debian/changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT ${TAVELLO_STAGING_DIR}/${target}
    COMMAND sh -c "gzip -9 -n -c \"$0\" > \"$1\"" ${TAVELLO_PACKAGING_DIR}/${source}
            ${TAVELLO_STAGING_DIR}/${target}
    DEPENDS ${TAVELLO_PACKAGING_DIR}/${source} VERBATIM)
  list(APPEND tavello_gzipped ${TAVELLO_STAGING_DIR}/${target})
endforeach()
add_custom_target(tavello_documents ALL DEPENDS ${tavello_gzipped})
install(FILES ${TAVELLO_STAGING_DIR}/tavello.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${TAVELLO_PACKAGING_DIR}/debian/copyright ${TAVELLO_STAGING_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
