#!/usr/bin/env bash
# Runs every benchmark built into the given folder and prints its figures.
set -euo pipefail
bin=${1:?folder of the built benchmarks}
found=0
for b in "$bin"/bench_*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  case "$(basename "$b")" in
    # The real window under an X server of its own.
    bench_dispatch) bash "$(dirname "$0")/../tests/xsupport/run-under-x.sh" "$b" ;;
    *) QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$b" ;;
  esac
done
[ $found -eq 1 ] || echo "no benchmarks built"
