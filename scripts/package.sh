#!/usr/bin/env bash
# Makes the release packages, named with the project's version (CMake's
# project version, the one recasor --version prints):
#   dist/recasor_<version>_amd64.deb                 recasor and trx for Debian
#   dist/recasor-<version>-windows-x86_64.zip       recasor.exe, TRX.exe, casepad.exe, KAVRIX.DLL
#
#   bash scripts/package.sh [--build DIR] [--out DIR] [--no-build]
#
# builds what the packages hold in DIR (default build/, configured as
# scripts/configure.sh does) unless --no-build says it is built, and writes
# the packages to OUT (default dist/).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build out=dist do_build=1
while (($#)); do
  case $1 in
    --build) build=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --no-build) do_build=0; shift ;;
    *) echo "usage: package.sh [--build DIR] [--out DIR] [--no-build]" >&2; exit 2 ;;
  esac
done
if ((do_build)); then
  bash scripts/install-deps.sh
  bash scripts/configure.sh
  cmake --build "$build" --target recasor trx windows_programs -j 2 >/dev/null
fi
build=$(realpath "$build")
mkdir -p "$out"
out=$(realpath "$out")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
windows_bin=$build/windows/x86_64/bin
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
umask 022
# Timestamps inside the packages: the last commit's, so that the same sources give the same packages.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}

# --- the Debian package --------------------------------------------------
staging=$scratch/deb
DESTDIR=$staging cmake --install "$build" --prefix /usr >/dev/null
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$staging/usr/bin/recasor" "$staging/usr/bin/trx"
doc=$staging/usr/share/doc/recasor
mkdir -p "$doc" "$staging/usr/share/man/man1"
cp packaging/copyright "$doc/copyright"
gzip -9n <README.md >"$doc/README.md.gz"
cat >"$scratch/changelog" <<CHANGELOG
recasor ($version) unstable; urgency=medium

  * Release $version.

 -- Recasor maintainers <maintainers@recasor.invalid>  $(date -R -u -d "@$SOURCE_DATE_EPOCH")
CHANGELOG
gzip -9n <"$scratch/changelog" >"$doc/changelog.gz"
help2man --no-info --version-string="$version" --name="uniform keyword case for BASIC sources" \
  "$staging/usr/bin/recasor" | gzip -9n >"$staging/usr/share/man/man1/recasor.1.gz"
gzip -9n <packaging/trx.1 >"$staging/usr/share/man/man1/trx.1.gz"

# The dependencies, as dpkg-shlibdeps reads them from the programs.
mkdir -p "$scratch/shlibs/debian"
printf 'Source: recasor\n\nPackage: recasor\nArchitecture: any\n' >"$scratch/shlibs/debian/control"
depends=$(cd "$scratch/shlibs" && dpkg-shlibdeps -O -e"$staging/usr/bin/recasor" -e"$staging/usr/bin/trx" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')
mkdir -p "$staging/DEBIAN"
cat >"$staging/DEBIAN/control" <<CONTROL
Package: recasor
Version: $version
Architecture: amd64
Maintainer: Recasor maintainers <maintainers@recasor.invalid>
Installed-Size: $(du -sk --exclude=DEBIAN "$staging" | cut -f1)
Depends: $depends
Section: devel
Priority: optional
Description: uniform keyword case for BASIC sources
 recasor rewrites the case of FreeBASIC and PowerBASIC keywords, Windows API
 names and constants to one vocabulary: in place, for whole trees, as a check
 for CI, as a diff, as a filter, and as a language server for editors.
 String literals, comments and DATA items are never touched.
 .
 trx is the batch tool of the same engine: it writes NAME.bas.bas beside
 NAME.bas.
CONTROL
(cd "$staging" && find usr -type f -print0 | sort -z | xargs -0 md5sum >DEBIAN/md5sums)
find "$staging" -exec touch --no-dereference --date="@$SOURCE_DATE_EPOCH" {} +
deb=$out/recasor_${version}_amd64.deb
dpkg-deb --root-owner-group -Zxz --build "$staging" "$deb" >/dev/null

# --- the Windows zip -----------------------------------------------------
folder=$scratch/zip/recasor-$version
mkdir -p "$folder"
cp "$windows_bin"/{recasor.exe,TRX.exe,casepad.exe,KAVRIX.DLL,KAVRIX-Scintilla-License.txt,KAVRIX-Lexilla-License.txt} "$folder/"
cp Keywords.ini "$folder/"
sed 's/$/\r/' packaging/README-windows.txt >"$folder/README.txt"
sed 's/$/\r/' packaging/copyright >"$folder/COPYRIGHT.txt"
find "$scratch/zip" -exec touch --date="@$SOURCE_DATE_EPOCH" {} +
zip=$out/recasor-$version-windows-x86_64.zip
rm -f "$zip"
(cd "$scratch/zip" && zip -X -q -r "$zip" "recasor-$version")

ls -l "$deb" "$zip" | awk '{print $5, $9}'
