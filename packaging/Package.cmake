# The Debian package: `cmake --build build --target package` writes
# build/tavello_<version>_amd64.deb with what Install.cmake installs, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavello)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TAVELLO developers")
set(CPACK_PACKAGE_CONTACT "TAVELLO developers <tavello@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo-album screen saver with a Japanese interface")
set(CPACK_PACKAGE_DESCRIPTION
  "TAVELLO covers the screen in black, shows a headline, then your pictures
(JPEG, BMP, PNG, GIF, WebP, TIFF, HEIC, AVIF) one after another, each for a set
number of seconds, in list order or at random, magnified or fitted to the
screen, while a music file (WAV, MIDI or MP3) loops. Its windows and messages
are in Japanese. An entry of the picture list may be a folder, standing for
every picture below it; with an empty list, the show takes xscreensaver's
picture folder (imageDirectory in ~/.xscreensaver).

It runs as a hack of xscreensaver and mate-screensaver (on every monitor, with
a silent preview in their settings), or in the classic way: tavello /S runs
the show with its own password check, tavello /C opens the settings dialog,
tavello /A changes the password. tavello --add-to-xscreensaver adds it to the
user's xscreensaver list. On a desk without a screen-saver host,
tavello --idle 10m runs the show after ten minutes without input, and
tavello --add-to-autostart has the session start that watcher.")

# Installed with DESTDIR, so the install-time paths (the theme entry's Exec=) are /usr ones.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.example.org/tavello/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries come from the binary itself; what it opens only at run time is named here: the
# Japanese font, the General-MIDI soundfont (the player looks for the small TimGM6mb.sf2, then
# FluidR3_GM.sf2, then the default-GM.sf2 that any such soundfont provides), Qt's Japanese texts for its own dialogs
# and Qt's image plugins (WebP, TIFF), and Qt's Wayland platform (the show on GNOME's Wayland
# desk). libheif1 (HEIC), libavif15 (AVIF), libpng16-16, libtiff6, libwebp7 and libseccomp2 (the
# picture loader's confinement) are linked and so found by shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fonts-ipafont-gothic, timgm6mb-soundfont | fluid-soundfont-gm | sf2-soundfont-gm, qt6-translations-l10n, qt6-image-formats-plugins, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xscreensaver | mate-screensaver")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fonts-ipafont-mincho, xss-lock | xautolock")

include(CPack)
