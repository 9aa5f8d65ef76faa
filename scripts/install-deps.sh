#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, and only
# those that are missing. Safe to run again and again.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev   # compilers; clang brings libFuzzer
  libgtest-dev                                      # GoogleTest
  libcli11-dev libtomlplusplus-dev                  # recasor's command line and settings files
  nlohmann-json3-dev                                # the language server's JSON messages
  diffutils                                         # the demo shows a diff
  python3                                           # the Keywords.ini generator and its test
  dpkg-dev                                          # unpacks the Scintilla sources of KAVRIX.DLL; the .deb's dependencies
  help2man lintian zip unzip                        # the release packages: manual page, checks, the Windows zip
  mingw-w64                                         # cross compilers for the Windows programs
  wine64 xvfb xdotool                               # run and drive the Windows build in tests
  qt6-base-dev libqscintilla2-qt6-dev               # casepad's host toolkit and its Scintilla
  fonts-liberation                                  # metric twins of Courier New and Arial
  neovim emacs-nox elpa-eglot                       # real editors that drive recasor's language server in tests
  chromium                                          # the browser that drives VS Code (code-server) in its test
  pkg-config libkrb5-dev libx11-dev                 # headers that code-server's native modules
  libxkbfile-dev libsecret-1-dev                    #   are built from source against
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
