#!/usr/bin/env bash
# Packages the VS Code extension in editors/vscode/ as dist/recasor-VERSION.vsix
# with @vscode/vsce; both the extension's libraries and vsce are pinned by
# editors/vscode/package-lock.json. Prints the package's path as its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
extension=editors/vscode

# npm ci again only when the lock file has changed since the last one.
lock_hash=$(sha256sum "$extension/package-lock.json" | cut -d' ' -f1)
stamp=$extension/node_modules/.installed-lock-sha256
if [[ ! -e $stamp || $(cat "$stamp") != "$lock_hash" ]]; then
  (cd "$extension" && npm ci --no-audit --no-fund) >&2
  echo "$lock_hash" > "$stamp"
fi
version=$(node -p "require('./$extension/package.json').version")
mkdir -p dist
vsix=$PWD/dist/recasor-$version.vsix
# The repository has no licence file or public address to point to.
(cd "$extension" && npx --no-install vsce package --skip-license --allow-missing-repository --out "$vsix") >&2
echo "$vsix"
