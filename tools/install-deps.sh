#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Talvio developers
# Installs the Debian 12 packages that building, running and testing Talvio need.
# Quick when everything is there already: apt is only asked for what is missing.
set -euo pipefail

packages=(
  g++ clang clang-format libclang-rt-14-dev cmake ninja-build pkg-config git
  libsqlite3-dev sqlite3
  qt6-base-dev qt6-webengine-dev qt6-webchannel-dev qt6-multimedia-dev libqt6opengl6-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  opus-tools espeak-ng sox ffmpeg qt6-image-formats-plugins
  pulseaudio
  libssl-dev zlib1g-dev libzip-dev libplist-dev libicu-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  chromium
  fonts-noto-cjk fonts-noto-color-emoji fonts-dejavu-core
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
