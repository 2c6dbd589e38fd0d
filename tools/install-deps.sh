#!/usr/bin/env bash
# Installs the cross toolchain, Wine and the X tools the build and tests need.
# Safe to run again: it only installs what is missing.
set -euo pipefail

need_pkgs=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

pkgs=(wine wine32:i386 wine64 g++-mingw-w64-i686 xvfb xdotool fonts-ipafont-gothic
      locales xauth cmake googletest imagemagick x11-apps e2fsprogs)
for p in "${pkgs[@]}"; do have "$p" || need_pkgs+=("$p"); done

if [ ${#need_pkgs[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: need root to install: ${need_pkgs[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${need_pkgs[@]}" </dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: need root to generate the ja_JP.UTF-8 locale" >&2
    exit 1
  fi
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
