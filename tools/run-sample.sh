#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Talvio developers
# Installs what is missing, builds, and shows the bundled sample phone folders.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
build=${TALVIO_BUILD_DIR:-$root/build}
"$root/tools/build.sh" "$build"
sample="$build/samples/android/com.whatsapp"
out="$build/sample-export"
"$build/export/talvio-export" "$sample" "$out"
