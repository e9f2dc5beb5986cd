#!/usr/bin/env bash
# Screenshots of the skin's layouts as the real windows draw them:
#   tools/skinview/screenshots.sh [OUT_DIR] [LAYOUT...]
# Runs skinview.exe of the Windows build under Wine on the current DISPLAY
# (or a private Xvfb), one layout at a time, and saves OUT_DIR/<layout>.png
# (default build/screenshots). Extra skinview options may follow "--".
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"

out=${1:-$REPO/build/screenshots}
shift || true
layouts=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do layouts+=("$1"); shift; done
[ "${1:-}" = "--" ] && shift
extra=("$@")
[ ${#layouts[@]} -gt 0 ] || layouts=(main.xml update.xml reggamedll.xml loading.xml game.xml bosskey.xml changeserver.xml)
viewer=$WINDOWS_BUILD/tools/skinview/skinview.exe
[ -x "$viewer" ] || die "build the windows preset first ($viewer)"
mkdir -p "$out"

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 170 199); do [ -e "/tmp/.X$n-lock" ] || break; done
  Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; return 0; }
trap cleanup EXIT

for layout in "${layouts[@]}"; do
  name=${layout%.xml}
  wine "$viewer" --class "SkinView_$name" --at 20,20 "${extra[@]}" "$layout" >/dev/null 2>&1 &
  pid=$!
  # The window is up once X knows it; then give it its first paints.
  win=$(timeout 20 xdotool search --sync --onlyvisible --classname "skinview.exe" 2>/dev/null | head -1 || true)
  [ -n "$win" ] || { kill "$pid" 2>/dev/null; die "no window for $layout"; }
  sleep 1
  import -window root -crop "$(xdotool getwindowgeometry --shell "$win" | awk -F= '/WIDTH/{w=$2}/HEIGHT/{h=$2}END{print w"x"h"+20+20"}')" "$out/$name.png"
  xdotool key --window "$win" Escape >/dev/null 2>&1 || true
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  say "$out/$name.png"
done
