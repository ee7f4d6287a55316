#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Talvio developers
# Installs what is missing, builds, and opens the bundled sample phone folder in the viewer.
# Without a display it runs under Xvfb and saves a screenshot of the window with a chat shown.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
build=${TALVIO_BUILD_DIR:-$root/build}
"$root/tools/build.sh" "$build"
sample="$build/samples/android/com.whatsapp"
media="$build/samples/android/WhatsApp"
if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
  export XDG_RUNTIME_DIR=$(mktemp -d)
fi
if [[ $(id -u) -eq 0 ]]; then
  # The web view's sandbox cannot run as root.
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec "$build/shell/talvio" "$sample" "$media"
fi
shot="$build/sample-screenshot.png"
xvfb-run -a -s "-screen 0 1280x800x24" "$build/shell/talvio" --screenshot "$shot" "$sample" "$media"
