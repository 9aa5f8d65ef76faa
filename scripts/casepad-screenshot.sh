#!/usr/bin/env bash
# Takes the README's screenshot of casepad (docs/casepad.png): the real
# program on a virtual X server, with the first SUB folded by a click on the
# line number of a line in its body.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/configure.sh
cmake --build build --target casepad screen_grab -j 2 >/dev/null

exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
xServer=$!
read -r displayNumber <&3
export DISPLAY=":$displayNumber"
trap 'kill "$casepad" "$xServer" 2>/dev/null || true' EXIT

build/casepad/casepad 2>/dev/null &
casepad=$!
window=$(xdotool search --sync --onlyvisible --name '^KAVRIX\.DLL editor example$')

# The line-number margin is 40 pixels wide; line 11 is the 11th text row
# below the menu bar.
xdotool mousemove --window "$window" 20 150 click 1
sleep 1
build/tools/screen_grab/screen_grab "$window" docs/casepad.png 2>/dev/null
echo "Saved docs/casepad.png"
