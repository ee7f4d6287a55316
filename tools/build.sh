#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Talvio developers
# Configures (once) and builds Talvio incrementally. Usage: tools/build.sh BUILD_DIR [cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build folder}
shift
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja "$@"
elif [[ $# -gt 0 ]]; then
  cmake "$build" "$@" >/dev/null
fi
ninja -C "$build" -j"${TALVIO_JOBS:-2}"
