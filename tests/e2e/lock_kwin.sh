#!/usr/bin/env bash
# Locking handed to the desktop on KWin (virtual outputs, its own session bus): the locker reports
# the lock up only once KWin's screen saver service says it is active.
# Usage: lock_kwin.sh <tavello binary> <desktop_lock_probe>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_prepare lock_kwin
. "$(dirname "${BASH_SOURCE[0]}")/wayland_common.sh"
wayland_start_kwin 2

mkdir -p "$work/bin"
cp "$2" "$work/bin/desktop_lock_probe"
chmod -R a+rX "$work/bin"

saver_active() {
  wayland_run_as_user dbus-send --session --print-reply --dest=org.freedesktop.ScreenSaver \
    /ScreenSaver org.freedesktop.ScreenSaver.GetActive | grep -q "boolean true"
}
! saver_active || fail "the session is locked before it was asked to be"

said=$(wayland_run_as_user QT_QPA_PLATFORM=offscreen timeout 30 "$work/bin/desktop_lock_probe") ||
  fail "the locker did not report the lock up: $said"
[ "$said" = locked ] || fail "the locker said: $said"
saver_active || fail "the locker reported the lock up, but KWin's screen saver is not active"
echo "lock on KWin: passed"
