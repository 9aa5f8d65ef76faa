#!/usr/bin/env bash
# Configures the build tree build/ (clang, so that the fuzz target is built
# too) with every part switched on, also when an earlier hand configuration
# left some of them off in the cache.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DRECASOR_TESTS=ON -DRECASOR_BENCH=ON -DRECASOR_WINDOWS=ON -DRECASOR_CASEPAD=ON -DRECASOR_FUZZ=ON >/dev/null
