#!/usr/bin/env bash
# Configures the build tree build/ (clang, so that the fuzz target is built too).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
