#!/usr/bin/env bash
# Copies the screenshots that the window tests made into docs/, where the README shows them,
# recompressed. Run tools/test.sh first. The pictures come from the shipped 32-bit programs where
# the 32-bit tests ran (POS_TEST_32BIT=1), else from the x86-64 build of the same sources.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source_dir=""
for candidate in build/win32-tests/screenshots/win32-wow64 build/win64/screenshots/win64; do
  if [ -d "$candidate" ]; then source_dir=$candidate; break; fi
done
[ -n "$source_dir" ] || { echo "no screenshots yet: run tools/test.sh" >&2; exit 1; }
mkdir -p docs
for name in velmara-zh velmara-en velmara-models-zh velmara-models-en velmara-about-zh \
            corvale-main corvale-new-ldn dunlith-sent dunlith-failed dunlith-not-ready; do
  if [ -f "$source_dir/$name.png" ]; then
    convert "$source_dir/$name.png" -strip -define png:compression-level=9 "docs/$name.png"
    echo "docs/$name.png from $source_dir"
  else
    echo "missing: $source_dir/$name.png" >&2
  fi
done
