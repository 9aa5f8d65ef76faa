#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64:
#   build/windows/i686/bin/TRX.exe     the shipped program (32-bit x86)
#   build/windows/x86_64/bin/TRX.exe   the same program for 64-bit Wine
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/configure.sh
cmake --build build --target windows_programs -j 2 >/dev/null
ls -l build/windows/i686/bin/TRX.exe build/windows/x86_64/bin/TRX.exe
