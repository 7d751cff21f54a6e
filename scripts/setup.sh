#!/usr/bin/env bash
# Installs every Debian package that building, running and testing TAVELLO needs.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake pkg-config ccache clang-format
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsdl2-mixer-dev libsodium-dev libturbojpeg0-dev
  libgtest-dev libgmock-dev libx11-dev libxfixes-dev libxcb1-dev
  # pictures: HEIC/HEIF and AVIF (libheif), PNG/GIF/WebP/TIFF readers beyond Qt's own
  libheif-dev qt6-image-formats-plugins
  # the sanitizer build and the fuzz harnesses: clang with its sanitizer and libFuzzer runtimes
  clang libclang-rt-dev
  # run: Japanese fonts, the MIDI soundfont, Qt's X11 platform
  fonts-ipafont-gothic fonts-ipafont-mincho timgm6mb-soundfont libfluidsynth3 libqt6gui6
  qt6-translations-l10n
  # tests, demo and benchmarks
  xvfb xauth xdotool x11-utils imagemagick libjpeg-turbo-progs sox lame python3
  # the screen-saver host, and checking the install tree and the Debian package
  xscreensaver xss-lock desktop-file-utils libxml2-utils dpkg-dev lintian
  # tests that read numbers under a comma-decimal locale
  locales
  # an idle timer for the classic "/S"
  xautolock
  # several monitors on a real X server (xrandr), a window manager
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils openbox
  # a real sound server for a hosted show started with MATE's short environment
  pulseaudio pulseaudio-utils
)

# The comma-decimal locale those tests switch to.
ensure_test_locale() {
  if locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then return; fi
  echo "setup: generating the de_DE.UTF-8 locale"
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
}

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -eq 0 ]; then
  echo "setup: all ${#PACKAGES[@]} packages present"
  ensure_test_locale
  exit 0
fi

echo "setup: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
ensure_test_locale
