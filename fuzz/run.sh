#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Talvio developers
# Runs every fuzz target of a TALVIO_FUZZ build over its kept inputs and beyond.
# Usage: fuzz/run.sh BUILD_DIR [libFuzzer options...], e.g. fuzz/run.sh build-fuzz -runs=20000 -max_total_time=60
# TALVIO_FUZZ_TARGETS="page wav" runs only those targets.
# New inputs that reach new code are kept in BUILD_DIR/fuzz/work/NAME; a finding is written to
# BUILD_DIR/fuzz/findings/ and ends the run with the target's status.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
shift
if [[ -n "${TALVIO_FUZZ_TARGETS:-}" ]]; then
  targets=()
  for name in $TALVIO_FUZZ_TARGETS; do targets+=("$build/fuzz/fuzz_$name"); done
else
  targets=("$build"/fuzz/fuzz_*)
fi
[[ -x "${targets[0]}" ]] || { echo "no fuzz targets in $build/fuzz (configure with CC=clang CXX=clang++ -DTALVIO_FUZZ=ON)" >&2; exit 2; }
mkdir -p "$build/fuzz/findings"
for target in "${targets[@]}"; do
  name=${target##*/fuzz_}
  work="$build/fuzz/work/$name"
  mkdir -p "$work"
  inputs=("$work")
  for dir in "$root/fuzz/corpus/$name" "$root/fuzz/corpus/regressions/$name" "$build/fuzz/seeds/$name"; do
    [[ -d "$dir" ]] && inputs+=("$dir")
  done
  options=(-timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/fuzz/findings/$name-")
  [[ -f "$root/fuzz/dict/$name.dict" ]] && options+=(-dict="$root/fuzz/dict/$name.dict")
  echo "== fuzz_$name"
  "$target" "${options[@]}" "$@" "${inputs[@]}"
done
