#!/usr/bin/env bash
# Sets everything up, builds trx and converts the bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/configure.sh
cmake --build build --target trx -j 2 >/dev/null

# trx reads Keywords.ini from the current folder: the repository root here.
build/trx/trx examples/demo.bas
echo "Converted examples/demo.bas into examples/demo.bas.bas; what changed:"
diff --strip-trailing-cr examples/demo.bas examples/demo.bas.bas || true
