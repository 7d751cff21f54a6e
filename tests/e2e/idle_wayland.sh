#!/usr/bin/env bash
# The idle watcher on a headless Wayland desk: "tavello --idle 3s" starts the show after three
# idle seconds and, on sway (where wtype can type), after a key and the next idle period again.
# The show here is the X11 one, which finds no X display in this session: each start leaves its
# one line in the watcher's log, which counts the starts.
# Usage: idle_wayland.sh <tavello binary> sway|kwin
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
e2e_prepare idle_wayland
. "$(dirname "${BASH_SOURCE[0]}")/wayland_common.sh"
[ "$2" = kwin ] || command -v wtype >/dev/null || wayland_skip "wtype is not installed"
"wayland_start_$2" 1

mkdir -p "$work/bin"
cp "$1" "$work/bin/tavello"
chmod -R a+rX "$work/bin"
wayland_run_as_user "$work/bin/tavello" --idle 3s >"$work/watcher.log" 2>&1 &
pid=$!

shows_started() { grep -c 'ディスプレイが決まっていません' "$work/watcher.log" || true; }
started() { [ "$(shows_started)" -ge "$1" ]; }
watcher_alive() { kill -0 "$pid" 2>/dev/null || fail "the watcher ended: $(cat "$work/watcher.log")"; }

wait_until 20 "no show after the first idle period" started 1
watcher_alive
[ "$2" = kwin ] && echo "idle watcher on KWin: passed" && exit 0

wayland_run_as_user wtype -k space
wait_until 20 "no show after a key and the next idle period" started 2
watcher_alive
echo "idle watcher on Wayland: passed"
