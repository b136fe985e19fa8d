#!/bin/bash
# Installs what building and testing need on Debian 12, and compiles the two
# locales the tests run under (zh_CN.UTF-8: ANSI code page 936 in Wine;
# en_US.UTF-8: 1252). Safe to run again.
set -euo pipefail

packages=(
  cmake make
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine64 xvfb
  googletest
  locales fonts-wqy-microhei
  python3 curl procps
)

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_if_needed apt-get update -q
  sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

for locale in zh_CN en_US; do
  if ! locale -a 2>/dev/null | grep -qix "$locale.utf8"; then
    echo "compiling locale $locale.UTF-8"
    sudo_if_needed localedef -i "$locale" -c -f UTF-8 "$locale.UTF-8"
  fi
done
