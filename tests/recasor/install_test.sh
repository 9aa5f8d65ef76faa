#!/usr/bin/env bash
# `cmake --install` puts trx, recasor and Keywords.ini in the usual prefix
# layout, and the installed recasor finds its vocabulary from any folder.
#   install_test.sh BUILD_DIR
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/trx"
test -x "$prefix/bin/recasor"
cmp "$prefix/share/recasor/Keywords.ini" "$(dirname "$0")/../../Keywords.ini"
converted=$(cd / && printf 'dim x as integer\n' | "$prefix/bin/recasor" --case upper)
if [[ $converted != "DIM x AS INTEGER" ]]; then
  echo "the installed recasor wrote: $converted" >&2
  exit 1
fi
