#!/usr/bin/env bash
# Takes the README's screenshot of the Windows casepad (docs/casepad-win32.png):
# the 64-bit casepad.exe on KAVRIX.DLL under Wine, on a virtual X server, with
# the first SUB folded by a click on the line number of a line in its body.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/configure.sh
cmake --build build --target windows_programs screen_grab -j 2 >/dev/null
bin=build/windows/x86_64/bin
wine=/usr/lib/wine/wine64

scratch=$(mktemp -d)
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
xServer=$!
read -r displayNumber <&3
export DISPLAY=":$displayNumber" WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true; kill "$xServer" 2>/dev/null || true; rm -rf "$scratch"' EXIT

# A fresh prefix; the fonts casepad asks for come from their metric twins.
"$wine" wineboot --init >/dev/null 2>&1
for font in "Courier New=Liberation Mono" "Arial=Liberation Sans"; do
  "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${font%%=*}" /d "${font#*=}" /f >/dev/null 2>&1
done

"$wine" "$bin/casepad.exe" >/dev/null 2>&1 &
window=$(xdotool search --sync --onlyvisible --name '^KAVRIX\.DLL editor example$' | head -1)
# The probe names the screen point of line 11's number (a line in the first SUB).
read -r x y < <("$wine" "$bin/casepad_probe.exe" margin:10 2>/dev/null)
xdotool mousemove "$x" "$y" click 1
sleep 1
build/tools/screen_grab/screen_grab "$window" docs/casepad-win32.png 2>/dev/null
echo "Saved docs/casepad-win32.png"
