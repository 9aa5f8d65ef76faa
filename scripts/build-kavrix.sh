#!/usr/bin/env bash
# Builds KAVRIX.DLL, the editing component of casepad.exe, from Debian's
# sources of Scintilla and Lexilla (the source package scite, pinned below),
# for i686 (the shipped form) and x86_64 (for the tests under Wine).
#
#   bash scripts/build-kavrix.sh [OUTPUT_ROOT]
#
# puts OUTPUT_ROOT/{i686,x86_64}/bin/KAVRIX.DLL and the licence files of
# Scintilla and Lexilla beside each (OUTPUT_ROOT defaults to build/windows).
# The download and the built DLLs are kept in a cache outside the source tree
# (RECASOR_CACHE, default ${XDG_CACHE_HOME:-~/.cache}/recasor), keyed by the
# sources' checksum and by this project's files that shape the build, so a
# second run only copies.
set -euo pipefail
cd "$(dirname "$0")/.."
project_root=$PWD
output_root=$(realpath -m "${1:-build/windows}")

package=scite
version=5.3.3-1
declare -A sha256=(
  [scite_5.3.3-1.dsc]=d81493dde3559899198944c69a765b9cad0142bbc0f94456d0655365a8955a14
  [scite_5.3.3.orig.tar.gz]=79275a4a7e01bf429ff05e0fd699b79dc016d705335b393905b4f2cc43799a64
  [scite_5.3.3-1.debian.tar.xz]=8508811d97e3d3bd5373d20216b17bbf28abdfe4c532fa5c2d013cfb35deb2b1
)

cache=${RECASOR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/recasor}/$package-$version
sources=$cache/sources

verify_downloads() {
  local file
  for file in "${!sha256[@]}"; do
    echo "${sha256[$file]}  $cache/download/$file"
  done | sha256sum --check --quiet
}

# apt-get source with a private configuration: a deb-src entry for the same
# mirror and suite as the machine's own Debian entry, its own index folder.
# The machine's apt set-up is left as it is.
download_sources() {
  local suite uri apt_dir
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  uri=$(apt-cache policy | awk -v want="$suite/main" '$3 == want && $5 == "Packages" { print $2; exit }')
  if [[ -z $uri ]]; then
    echo "build-kavrix: apt knows no Debian mirror for $suite/main (run apt-get update)" >&2
    exit 1
  fi
  apt_dir=$cache/apt
  rm -rf "$apt_dir" "$cache/download"
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$cache/download"
  cat >"$apt_dir/sources.list.d/debian-src.sources" <<SOURCES
Types: deb-src
URIs: $uri
Suites: $suite
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  local options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
                 -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir"
                 -o "APT::Sandbox::User=$(id -un)" -qq)
  apt-get "${options[@]}" update
  (cd "$cache/download" && apt-get "${options[@]}" source --download-only "$package=$version")
  verify_downloads
  rm -rf "$apt_dir"
}

# Unpacks the package and keeps only what KAVRIX.DLL is built from, and the
# licence files.
unpack_sources() {
  local unpacked=$cache/unpacked
  rm -rf "$unpacked" "$sources"
  dpkg-source --no-check -x "$cache/download/${package}_$version.dsc" "$unpacked" >/dev/null
  mkdir -p "$sources/scintilla/win32" "$sources/lexilla/lexers"
  cp -r "$unpacked/scintilla/"{include,src,License.txt} "$sources/scintilla/"
  cp "$unpacked/scintilla/win32/"*.{cxx,h} "$sources/scintilla/win32/"
  cp -r "$unpacked/lexilla/"{include,lexlib,License.txt} "$sources/lexilla/"
  cp "$unpacked/lexilla/lexers/LexPB.cxx" "$sources/lexilla/lexers/"
  rm -rf "$unpacked"
  touch "$sources/.complete"
}

if [[ ! -e $sources/.complete ]]; then
  if [[ ! -d $cache/download ]] || ! verify_downloads 2>/dev/null; then
    echo "build-kavrix: fetching Debian's $package $version sources"
    download_sources
  fi
  verify_downloads
  unpack_sources
fi

# The build's key: the sources' checksum, the DLL's own files and the
# compilers.
key=$( {
  echo "${sha256[scite_5.3.3.orig.tar.gz]}"
  cat kavrix/*
  i686-w64-mingw32-g++-posix --version; x86_64-w64-mingw32-g++-posix --version
} | sha256sum | cut -c1-16)

for architecture in i686 x86_64; do
  built=$cache/kavrix-$key/$architecture
  if [[ ! -e $built/KAVRIX.DLL ]]; then
    echo "build-kavrix: building KAVRIX.DLL for $architecture"
    mkdir -p "$built"
    start=$SECONDS
    # Scintilla lays out text with std::future: the compilers of the posix
    # thread model (winpthreads, linked statically).
    cmake -S kavrix -B "$built/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$architecture" \
      -DCMAKE_CXX_COMPILER="$architecture-w64-mingw32-g++-posix" \
      -DSCINTILLA_SOURCE_DIR="$sources/scintilla" -DLEXILLA_SOURCE_DIR="$sources/lexilla" >"$built/build.log"
    if ! cmake --build "$built/build" -j 2 >>"$built/build.log" 2>&1; then
      tail -40 "$built/build.log" >&2
      echo "build-kavrix: building KAVRIX.DLL for $architecture failed (log: $built/build.log)" >&2
      exit 1
    fi
    cp "$built/build/KAVRIX.DLL" "$built/KAVRIX.DLL.partial"
    mv "$built/KAVRIX.DLL.partial" "$built/KAVRIX.DLL"
    rm -rf "$built/build"
    echo "build-kavrix: $architecture built in $((SECONDS - start)) s"
  fi
  bin=$output_root/$architecture/bin
  mkdir -p "$bin"
  cp "$built/KAVRIX.DLL" "$bin/KAVRIX.DLL"
  cp "$sources/scintilla/License.txt" "$bin/KAVRIX-Scintilla-License.txt"
  cp "$sources/lexilla/License.txt" "$bin/KAVRIX-Lexilla-License.txt"
done
