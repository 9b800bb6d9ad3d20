#!/usr/bin/env bash
# Installs what building and testing need, once: Debian packages, the
# zh_CN.UTF-8 locale (ANSI code page 936 under Wine) and the project's own
# Wine prefix. Safe to run again; it only does what is missing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake make g++ libgtest-dev googletest clang libfuzzer-14-dev libclang-rt-14-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64 mingw-w64-tools
          wine wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick fonts-wqy-microhei locales
          fp-utils nsis zip unzip file e2fsprogs)

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_ apt-get update -qq
  sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  if [ -f /etc/locale.gen ]; then
    sudo_ sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | sudo_ tee -a /etc/locale.gen >/dev/null
    sudo_ locale-gen >/dev/null
  else
    sudo_ localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
  fi
fi

"$top/scripts/wine-prefix.sh"
