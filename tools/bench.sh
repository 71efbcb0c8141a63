#!/usr/bin/env bash
# Runs the benchmarks on Linux (in-memory stand-ins) and under Wine (the real services).
# Figures, not pass or fail: each prints its costs and their ratios.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
for preset in host win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
for bench in build/host/bin/*_bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench") (Linux)"
  "$bench"
done
for bench in build/win64/bin/*_bench_*.exe; do
  [ -f "$bench" ] || continue
  echo "== $(basename "$bench") (Wine)"
  tools/wine-run "$bench"
done
