#!/usr/bin/env bash
# Sets everything up, builds every target and runs every test: unit tests
# (plain and under AddressSanitizer + UndefinedBehaviorSanitizer), the
# end-to-end tests of the real binaries, the Windows programs under Wine,
# the editors, bounded fuzzing runs, and the VS Code extension in a real
# VS Code (code-server, driven by Chromium).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/configure.sh
cmake --build build -j 2
(cd build && ctest --output-on-failure -j 2)
bash scripts/test-vscode.sh build/recasor/recasor
