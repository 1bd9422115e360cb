#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine.
# Runs apt-get only when a package is missing, and `apt-get update` at most once.
set -euo pipefail

# fonts-ipafont-gothic: Wine finds no Japanese glyphs in its own fonts, and
# without a system font the library's Japanese dialog texts draw as boxes.
# clang and its runtime libraries: the native sanitizer and fuzzing build of
# the platform-free core.
packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xauth
          cmake ninja-build googletest locales libsimpleini-dev clang-format fonts-ipafont-gothic
          clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Wine names host files in the character set of the host locale. The code page
# comes from the locale's name alone, but without the locale generated that
# set is ASCII and no Japanese file name can be created; generate them. The
# German one gives the locale tests a native decimal comma.
for loc in ja_JP en_US de_DE; do
  if ! locale -a 2>/dev/null | grep -qix "${loc}.utf8"; then
    echo "setup: generating locale ${loc}.UTF-8"
    $sudo localedef -i "$loc" -c -f UTF-8 "${loc}.UTF-8" 2>/dev/null || true
  fi
done
