#!/usr/bin/env bash
# `cmake --install` into a throwaway prefix: every file in its place and nothing else, the desktop
# entries and xscreensaver's description valid, the icons at their sizes, the manual page
# readable, and the installed program (also through xscreensaver's folder of hacks) running and
# adding itself to a fresh ~/.xscreensaver, once.
set -u
build="$1"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

if ! command -v desktop-file-validate >/dev/null; then
  echo "SKIP: desktop-file-validate is not installed (apt-get install desktop-file-utils)"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi

# The whole tree, links with their targets.
expected="bin/tavello
libexec/xscreensaver/tavello -> ../../bin/tavello
share/applications/screensavers/tavello.desktop
share/applications/tavello-password.desktop
share/applications/tavello-settings.desktop
share/doc/tavello/changelog.gz
share/doc/tavello/copyright
share/icons/hicolor/128x128/apps/tavello.png
share/icons/hicolor/16x16/apps/tavello.png
share/icons/hicolor/256x256/apps/tavello.png
share/icons/hicolor/32x32/apps/tavello.png
share/icons/hicolor/48x48/apps/tavello.png
share/icons/hicolor/64x64/apps/tavello.png
share/icons/hicolor/scalable/apps/tavello.svg
share/man/man6/tavello.6.gz
share/xscreensaver/config/tavello.xml"
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort |
  while read -r f; do
    if [ -L "$prefix/$f" ]; then echo "$f -> $(readlink "$prefix/$f")"; else echo "$f"; fi
  done)
[ "$actual" = "$expected" ] || fail "installed files differ:
$(diff <(echo "$expected") <(echo "$actual"))"
[ -x "$prefix/bin/tavello" ] || fail "bin/tavello is not executable"
[ "$(readlink -f "$prefix/libexec/xscreensaver/tavello")" = "$(readlink -f "$prefix/bin/tavello")" ] ||
  fail "libexec/xscreensaver/tavello does not reach bin/tavello"

# "key=value" lines that each desktop entry must hold.
hack="$prefix/libexec/xscreensaver/tavello"
declare -A entries=(
  [screensavers/tavello.desktop]="Exec=$hack --root|TryExec=$hack|Categories=Screensaver;|Name=TAVELLO"
  [tavello-settings.desktop]="Exec=tavello /C|Name=TAVELLOの設定|Categories=Settings;DesktopSettings;Qt;|Icon=tavello"
  [tavello-password.desktop]="Exec=tavello /A|Categories=Settings;DesktopSettings;Qt;|Icon=tavello"
)
for entry in "${!entries[@]}"; do
  file="$prefix/share/applications/$entry"
  IFS='|' read -r -a lines <<<"${entries[$entry]}"
  for line in "${lines[@]}"; do
    grep -qxF "$line" "$file" || fail "$entry lacks the line $line"
  done
  report=$(desktop-file-validate "$file" 2>&1) || fail "desktop-file-validate $entry: $report"
  if grep -E "(error|warning):" <<<"$report"; then fail "desktop-file-validate $entry"; fi
done

xml="$prefix/share/xscreensaver/config/tavello.xml"
if command -v xmllint >/dev/null; then
  xmllint --noout "$xml" || fail "tavello.xml is not well-formed"
  [ "$(xmllint --xpath 'string(/screensaver/@name)' "$xml")" = tavello ] ||
    fail "tavello.xml does not name the program tavello"
  [ "$(xmllint --xpath 'string(/screensaver/command/@arg)' "$xml")" = --root ] ||
    fail "tavello.xml does not pass --root"
else
  echo "note: xmllint is not installed; tavello.xml only checked by grep"
  grep -q '<command arg="--root"/>' "$xml" || fail "tavello.xml does not pass --root"
fi

# Each PNG is as large as its folder says (width and height from the PNG header).
for size in 16 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/tavello.png"
  read -r -a header < <(od -An -tu1 -j16 -N8 "$png")
  width=$(( (header[2] << 8) | header[3] )) height=$(( (header[6] << 8) | header[7] ))
  [ "$width x $height" = "$size x $size" ] || fail "${size}x${size} icon is $width x $height"
done

gzip -t "$prefix/share/man/man6/tavello.6.gz" "$prefix/share/doc/tavello/changelog.gz" ||
  fail "a compressed document is damaged"
if command -v man >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$prefix/share/man/man6/tavello.6.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
else
  echo "note: man is not installed; the manual page is not checked for warnings"
fi

# The installed program: a refused start ends at once, through either path.
for program in "$prefix/bin/tavello" "$hack"; do
  env -u DISPLAY timeout 10 "$program" /P || fail "$program /P did not end with 0"
done

# --add-to-xscreensaver, with the prefix off the PATH (the full path is listed) and on it (the
# plain name is), twice each: one line of output, one entry, the second run changing nothing.
add_twice() {
  local home="$1" want="$2" program="$3" path="$4"
  mkdir -p "$home"
  local out
  out=$(HOME="$home" PATH="$path" timeout 10 "$program" --add-to-xscreensaver) ||
    fail "--add-to-xscreensaver failed: $out"
  [ "$(wc -l <<<"$out")" -eq 1 ] || fail "--add-to-xscreensaver said more than one line: $out"
  cp "$home/.xscreensaver" "$work/first"
  HOME="$home" PATH="$path" timeout 10 "$program" --add-to-xscreensaver >/dev/null ||
    fail "the second --add-to-xscreensaver failed"
  cmp -s "$work/first" "$home/.xscreensaver" || fail "the second run changed ~/.xscreensaver"
  local listed
  listed=$(grep -v '^#' "$home/.xscreensaver" | grep tavello)
  [ "$(wc -l <<<"$listed")" -eq 1 ] || fail "TAVELLO listed more than once: $listed"
  [[ "$listed" == *'"TAVELLO"'*"$want"*'\n\' ]] || fail "the entry is not \"$want\": $listed"
  if [ -f /etc/X11/app-defaults/XScreenSaver ]; then
    grep -q 'maze --root' "$home/.xscreensaver" || fail "the system's list was not carried over"
  fi
}
add_twice "$work/home1" "$prefix/bin/tavello --root" "$prefix/bin/tavello" /usr/bin:/bin
add_twice "$work/home2" "tavello --root" "$hack" "$prefix/bin:/usr/bin:/bin"

if [ "$failed" -eq 0 ]; then echo "install tree: all checks passed"; fi
exit "$failed"
