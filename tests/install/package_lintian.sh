#!/usr/bin/env bash
# The Debian package, built by CPack into a throwaway folder (never installed): its file name,
# its fields (Depends computed from the binary plus what the program opens at run time), its
# contents under /usr, a stripped program, and lintian reporting no error and no warning.
set -u
build="$1"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

for tool in cpack dpkg-deb dpkg-shlibdeps lintian readelf; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (apt-get install dpkg-dev lintian binutils)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack"
  exit 1
fi
debs=("$work"/*.deb)
[ "${#debs[@]}" -eq 1 ] || { echo "FAIL: cpack made ${#debs[@]} packages"; exit 1; }
deb="${debs[0]}"
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "tavello_${version}_amd64.deb" ] || fail "package file named $(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Package)" = tavello ] || fail "package name"

# Depends: libraries found in the binary, and the font, soundfont and Qt texts used at run time.
depends=$(dpkg-deb -f "$deb" Depends)
for want in "libqt6widgets6 (" "libsdl2-mixer-2.0-0 (" "libsodium23 (" "libc6 (" \
            "fonts-ipafont-gothic" "timgm6mb-soundfont | fluid-soundfont-gm | sf2-soundfont-gm" "qt6-translations-l10n" \
            "qt6-image-formats-plugins" "libheif1 ("; do
  [[ "$depends" == *"$want"* ]] || fail "Depends lacks $want: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = "xscreensaver | mate-screensaver" ] ||
  fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"

contents=$(dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }')
for want in "./usr/bin/tavello" "./usr/libexec/xscreensaver/tavello -> ../../bin/tavello" \
            "./usr/share/xscreensaver/config/tavello.xml" \
            "./usr/share/applications/screensavers/tavello.desktop" \
            "./usr/share/applications/tavello-settings.desktop" \
            "./usr/share/applications/tavello-password.desktop" \
            "./usr/share/icons/hicolor/48x48/apps/tavello.png" \
            "./usr/share/icons/hicolor/scalable/apps/tavello.svg" \
            "./usr/share/man/man6/tavello.6.gz" "./usr/share/doc/tavello/copyright" \
            "./usr/share/doc/tavello/changelog.gz"; do
  grep -qxF "$want" <<<"$contents" || fail "the package lacks $want"
done
if grep -v '^\./usr/' <<<"$contents"; then fail "files outside /usr"; fi

mkdir "$work/root"
dpkg-deb -x "$deb" "$work/root"
grep -qxF "Exec=/usr/libexec/xscreensaver/tavello --root" \
  "$work/root/usr/share/applications/screensavers/tavello.desktop" ||
  fail "the theme entry does not run /usr/libexec/xscreensaver/tavello --root"
if readelf -S "$work/root/usr/bin/tavello" | grep -qE '\.(symtab|debug_info|comment)'; then
  fail "usr/bin/tavello is not stripped"
fi

# lintian: errors and warnings fail; informational tags are shown. Status 2 means it could not
# check the package at all.
lintian --pedantic --display-info "$deb" >"$work/lintian.log" 2>&1
status=$?
grep -v '^running with root privileges' "$work/lintian.log"
[ "$status" -le 1 ] || fail "lintian could not check the package (status $status)"
if grep -qE '^[EW]: ' "$work/lintian.log"; then fail "lintian reports errors or warnings"; fi

if [ "$failed" -eq 0 ]; then echo "package $(basename "$deb"): all checks passed"; fi
exit "$failed"
