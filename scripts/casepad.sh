#!/usr/bin/env bash
# Builds the casepad editor and starts it in the repository root, the
# folder that holds Keywords.ini.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/configure.sh
cmake --build build --target casepad -j 2 >/dev/null
exec build/casepad/casepad
