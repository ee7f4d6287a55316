#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Talvio developers
# Installs what is missing, builds, and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
build=${TALVIO_BUILD_DIR:-$root/build}
werror=OFF
[[ "${TALVIO_WERROR:-}" == "ON" ]] && werror=ON
"$root/tools/build.sh" "$build" -DTALVIO_WERROR=$werror
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
