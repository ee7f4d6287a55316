#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Talvio developers
# Installs a built package, runs the installed programs on the bundled sample (an export, and the
# viewer under Xvfb with a screenshot), removes the package and checks that nothing of it is left.
#   bash tools/check-package.sh PACKAGE.deb SAMPLE_DATA SAMPLE_MEDIA
set -euo pipefail
deb="$(realpath "$1")"
sample="$(realpath "$2")"
media="$(realpath "$3")"
as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
work=$(mktemp -d)
cleanup() {
  if [[ "$(dpkg-query -W -f='${Status}' talvio 2>/dev/null || true)" == "install ok installed" ]]; then
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get purge -y -qq talvio >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

files=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$')
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "$deb" >/dev/null
/usr/bin/talvio-export --version
/usr/bin/talvio-export --help >/dev/null
# The sample holds a picture whose path climbs out of its folder on purpose: the export names it
# on its error output and ends with 1; anything worse fails here.
status=0
/usr/bin/talvio-export --resources "$media" "$sample" "$work/export" >"$work/export.log" 2>&1 || status=$?
cat "$work/export.log"
[[ $status -le 1 && -s "$work/export/index.html" ]]
! grep -v 'climbs out of the folder' "$work/export.log" | grep -q '^talvio-export:' 
/usr/bin/talvio --version
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The web view's sandbox cannot run as root.
[[ $(id -u) -ne 0 ]] || export QTWEBENGINE_DISABLE_SANDBOX=1
HOME="$work/home" xvfb-run -a -s "-screen 0 1280x800x24" /usr/bin/talvio --screenshot "$work/screenshot.png" \
  "$sample" "$media"
[[ -s "$work/screenshot.png" ]]
cp "$work/screenshot.png" "${TALVIO_SCREENSHOT:-/dev/null}" 2>/dev/null || true

DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get purge -y -qq talvio >/dev/null
if dpkg-query -W talvio >/dev/null 2>&1 && [[ "$(dpkg-query -W -f='${Status}' talvio)" != *not-installed* ]]; then
  echo "talvio is still installed" >&2
  exit 1
fi
left=0
for f in $files; do
  if [[ -e "$f" ]]; then
    echo "left behind: $f" >&2
    left=1
  fi
done
[[ $left -eq 0 ]]
echo "The package installs, runs and removes cleanly."
