#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64, and KAVRIX.DLL from
# Debian's Scintilla sources (scripts/build-kavrix.sh):
#   build/windows/i686/bin/     TRX.exe, casepad.exe, KAVRIX.DLL, recasor.exe (32-bit x86)
#   build/windows/x86_64/bin/   the same for 64-bit Wine
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/configure.sh
cmake --build build --target windows_programs -j 2 >/dev/null
ls -l build/windows/{i686,x86_64}/bin/{TRX.exe,casepad.exe,KAVRIX.DLL,recasor.exe}
