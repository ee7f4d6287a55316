#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Talvio developers
# Builds the Debian package talvio_<version>_<arch>.deb into OUTDIR (default: the current folder),
# then checks its desktop entry, its AppStream data and the package itself with lintian.
#   bash tools/build-package.sh [OUTDIR]
# A build of its own goes to build-package/; TALVIO_BUILD_DIR packages an existing build instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-.}")"
bash "$root/tools/install-deps.sh"
build="${TALVIO_BUILD_DIR:-$root/build-package}"
if [[ ! -f "$build/build.ninja" ]]; then
  # The build type the tests run on; the package strips its debug information.
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DTALVIO_BENCH=OFF \
    >/dev/null
fi
ninja -C "$build" talvio talvio-export talvio_package_files talvio_icons
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
deb=$(ls -t "$out"/talvio_*.deb | head -n 1)

desktop-file-validate "$root/packaging/org.talvio.Talvio.desktop"
appstreamcli validate --no-net "$root/packaging/org.talvio.Talvio.metainfo.xml" >/dev/null
# Errors fail the build; lintian reports neither errors nor warnings today.
lintian --fail-on error "$deb" >&2
echo "$deb"
