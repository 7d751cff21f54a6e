#!/usr/bin/env bash
# Installs the Debian packages TAVELLO needs, in layers; each layer includes the ones before it.
#
#   build    build the program
#   program  also run it, and show it on a virtual display (scripts/demo.sh)
#   tests    the test suite, the benchmarks and the developer's tools (scripts/test.sh)
#   ci       the sanitizer and fuzzing toolchain (scripts/sanitize.sh, scripts/fuzz.sh)
#
# Usage: scripts/setup.sh [build|program|tests|ci]   (without a layer: ci, everything)
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

BUILD_PACKAGES=(
  # compiler, CMake, Qt 6 (its moc and rcc), SDL2_mixer, libsodium, libheif, libpng, libtiff,
  # libwebp, xcb and its screen-saver extension (the desk's idle time), Wayland's client library
  # and protocol scanner (the Wayland desk and idle time), libseccomp and libavif (the loader)
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsdl2-mixer-dev libsodium-dev libheif-dev libpng-dev libtiff-dev libwebp-dev libxcb1-dev
  libxcb-screensaver0-dev libwayland-dev libseccomp-dev libavif-dev
  # the packaged Wayland protocols: the xdg shell (the layer shell's popups), the idle
  # notification, and KDE's idle protocol
  wayland-protocols plasma-wayland-protocols
  # the readers of PNG/GIF/WebP/TIFF beyond Qt's own: used at run time, but they add files to
  # Qt's CMake folder, which must not change while a build is being configured
  qt6-image-formats-plugins
)

# Nothing here is read by the build, so scripts/demo.sh installs these while the program builds.
RUN_PACKAGES=(
  # Qt's X11 platform and its Japanese texts, the Japanese fonts, and MIDI through SDL2_mixer
  # (FluidSynth and its soundfont)
  libqt6gui6 qt6-translations-l10n fonts-ipafont-gothic libfluidsynth3 timgm6mb-soundfont
  # Qt's Wayland platform: the show's windows on a compositor without the layer shell (GNOME)
  qt6-wayland
  # the demo: a virtual display, the mouse move that ends the show, screenshots
  xvfb xauth xdotool imagemagick
)

TEST_PACKAGES=(
  # the developer's tools: cached compiles (scripts/build.sh), the formatter, the sample music's
  # MP3 encoder (scripts/make-sample-music.py)
  ccache clang-format lame
  # unit and widget tests; the end-to-end probes and benchmarks on Xlib and Xfixes
  libgtest-dev libgmock-dev libx11-dev libxfixes-dev
  # the picture benchmark's yardsticks (libturbojpeg, djpeg, dwebp) and a program's peak memory
  # (GNU time)
  libturbojpeg0-dev libjpeg-turbo-progs webp time
  # the other formats' encoders and reference decoders (heif-enc, heif-convert, avifenc, avifdec,
  # tiff2rgba)
  libheif-examples libavif-bin libtiff-tools
  # end-to-end tests: window properties and messages (xprop, xdpyinfo, xmessage), test songs,
  # the resource check, finding the show's processes
  x11-utils sox python3 procps
  # the screen-saver hosts and idle timers; mate-screensaver run in a session bus of its own
  # (dbus-run-session), its theme chosen with gsettings
  xscreensaver xss-lock xautolock mate-screensaver dbus-daemon libglib2.0-bin
  # several monitors on a real X server (xrandr), a window manager
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils openbox
  # a real sound server for a hosted show started with MATE's short environment
  pulseaudio pulseaudio-utils
  # checking the install tree and the Debian package
  desktop-file-utils libxml2-utils dpkg-dev lintian
  # tests that read numbers under a comma-decimal locale
  locales
  # giving test files an ACL (setfacl, getfacl)
  acl
  # the Wayland desk's end-to-end tests: headless sway, KWin and mutter, screenshots of sway's
  # outputs, typed keys (wtype; KDE's fake input, for the input probe)
  sway grim wtype kwin-wayland mutter
  # a share that stops answering: a FUSE mirror of a folder whose server is then stopped
  bindfs
)

CI_PACKAGES=(
  # the sanitizer build and the fuzz harnesses: clang with its sanitizer and libFuzzer runtimes
  clang libclang-rt-dev
)

layer="${1:-ci}"
PROGRAM_PACKAGES=("${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}")
case "$layer" in
  build) PACKAGES=("${BUILD_PACKAGES[@]}") ;;
  program) PACKAGES=("${PROGRAM_PACKAGES[@]}") ;;
  tests) PACKAGES=("${PROGRAM_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
  ci) PACKAGES=("${PROGRAM_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${CI_PACKAGES[@]}") ;;
  *) echo "usage: scripts/setup.sh [build|program|tests|ci]" >&2; exit 2 ;;
esac

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# The comma-decimal locale the tests switch to.
ensure_test_locale() {
  case "$layer" in build | program) return ;; esac
  if locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then return; fi
  echo "setup: generating the de_DE.UTF-8 locale"
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
}

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -eq 0 ]; then
  echo "setup: all ${#PACKAGES[@]} packages of the $layer layer present"
  ensure_test_locale
  exit 0
fi

echo "setup ($layer): installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
ensure_test_locale
