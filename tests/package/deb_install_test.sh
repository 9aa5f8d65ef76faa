#!/usr/bin/env bash
# The Debian package as a user gets it: unpacked with dpkg-deb into a
# temporary root, its recasor run from another folder on a tree (finding its
# own Keywords.ini under the root), its metadata and lintian's verdict.
#   deb_install_test.sh DIST_DIR VERSION
set -euo pipefail
deb=$1/recasor_$2_amd64.deb
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "deb_install_test: $*" >&2; exit 1; }

root=$scratch/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/recasor usr/bin/trx usr/share/recasor/Keywords.ini usr/share/doc/recasor/copyright \
            usr/share/doc/recasor/README.md.gz usr/share/man/man1/recasor.1.gz usr/share/man/man1/trx.1.gz; do
  [[ -f $root/$file ]] || fail "$file is missing"
done
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends =~ ^libc6\ \(\>=\ [0-9.]+\)$ ]] || fail "depends on more than the C library: $depends"
zcat "$root/usr/share/man/man1/recasor.1.gz" | grep -q 'list the files that would change' || fail "the manual page does not describe --check"

version=$("$root/usr/bin/recasor" --version)
[[ $version == "recasor $2" ]] || fail "--version printed: $version"

# A tree in a folder far from the unpacked root, in place and then checked.
mkdir -p "$scratch/project/src/sub"
printf 'dim x as integer\r\nprint x\n' >"$scratch/project/src/a.bas"
printf "' keep dim\nwhile 1 : wend\n" >"$scratch/project/src/sub/b.bi"
(cd "$scratch/project" && "$root/usr/bin/recasor" --check src >"$scratch/check.txt") && fail "--check found nothing to change"
[[ $(cat "$scratch/check.txt") == $'src/a.bas\nsrc/sub/b.bi' ]] || fail "--check listed: $(cat "$scratch/check.txt")"
(cd "$scratch/project" && "$root/usr/bin/recasor" src)
[[ $(cat "$scratch/project/src/a.bas") == $'Dim x As Integer\r\nPrint x' ]] || fail "converted to: $(cat "$scratch/project/src/a.bas")"
[[ $(cat "$scratch/project/src/sub/b.bi") == $'\' keep dim\nWhile 1 : Wend' ]] || fail "converted to: $(cat "$scratch/project/src/sub/b.bi")"
(cd "$scratch/project" && "$root/usr/bin/recasor" --check src)

lintian --fail-on error "$deb" >"$scratch/lintian.txt" 2>&1 || { cat "$scratch/lintian.txt" >&2; fail "lintian reports errors"; }
echo "deb_install_test: $deb installs and runs"
