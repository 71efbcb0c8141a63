#!/usr/bin/env bash
# Checks that a deliverable is a 32-bit Windows GUI program that Windows XP loads: subsystem
# version 5.01, imports only from Windows' own DLLs and none that Windows XP lacks; that it is
# hardened: relocatable at a random address (DYNAMIC_BASE, relocations kept), data never executed
# (NX_COMPAT), functions guarded by a stack canary; and the resources it must carry.
#   check-deliverable.sh OBJDUMP EXE [--contains TEXT]... [--lacks TEXT]... [--contains-utf16 TEXT]...
#                        [--version-resource FILE_VERSION PRODUCT_VERSION BLOCK]
#                        [--imports-only "DLL..."]  load-time imports from these DLLs and no others
#                                                   ("kernel32" or "KERNEL32.dll" alike)
#                        [--max-size BYTES]
set -euo pipefail
objdump=$1
exe=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

headers=$("$objdump" -p "$exe")
grep -q '^Magic[[:space:]]*010b' <<<"$headers" || fail "not a 32-bit (PE32) program"
grep -q 'file format pei-i386' <<<"$headers" || fail "not an i386 program"
grep -q '^Subsystem[[:space:]]*00000002' <<<"$headers" || fail "not a Windows GUI program"
grep -q '^MajorSubsystemVersion[[:space:]]*5$' <<<"$headers" || fail "major subsystem version is not 5"
grep -q '^MinorSubsystemVersion[[:space:]]*1$' <<<"$headers" || fail "minor subsystem version is not 1"
grep -q '^MajorOSystemVersion[[:space:]]*5$' <<<"$headers" || fail "major OS version is not 5"
grep -q '^MinorOSystemVersion[[:space:]]*1$' <<<"$headers" || fail "minor OS version is not 1"

# Import table as "DLL function" lines.
imports=$(awk '
  /DLL Name:/ { dll = $3; next }
  /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_?@]/ && dll != "" { print dll, $3 }
  /^$/ { }
' <<<"$headers")
[ -n "$imports" ] || fail "no imports found"

allowed_dlls='^(kernel32|user32|gdi32|advapi32|comctl32|comdlg32|shell32|msvcrt|winspool\.drv|setupapi|ole32|oleaut32|version)(\.dll)?$'
while read -r dll; do
  [ -n "$dll" ] || continue
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
  [[ "$lower" =~ $allowed_dlls ]] || fail "imports from $dll, which is not one of Windows' own DLLs"
done < <(grep '^[[:space:]]*DLL Name:' <<<"$headers" | awk '{print $3}')

while read -r dll fn; do
  [ -n "$dll" ] || continue
  case "$dll $fn" in \#*) continue ;; esac
  if grep -qix "$dll $fn" <<<"$imports"; then fail "imports $dll $fn, which Windows XP lacks"; fi
done < "$here/xp-missing-imports.txt"
# Windows XP's msvcrt.dll has none of the bounds-checked "_s" functions.
if grep -iE '^msvcrt\.dll [A-Za-z0-9_]+_s$' <<<"$imports"; then fail "imports bounds-checked CRT functions that XP's msvcrt lacks"; fi

# Hardening. ASLR needs the relocations as well as the flag: a 32-bit image without them is loaded
# at its preferred address whatever the flag says.
grep -qx '[[:space:]]*DYNAMIC_BASE' <<<"$headers" || fail "not relocatable at a random address (no DYNAMIC_BASE)"
grep -qx '[[:space:]]*NX_COMPAT' <<<"$headers" || fail "its data may execute (no NX_COMPAT)"
grep -qx '[[:space:]]*relocations stripped' <<<"$headers" && fail "its relocations are stripped: Windows cannot move it"
# The stack canary: libssp's handler, and the check itself in the code, a comparison of the saved
# canary with the guard at one fixed address at the end of every guarded function. A stripped
# program has no symbols to name them, so the check counts the comparisons with the address that
# most of them use.
grep -qaF '*** stack smashing detected ***' "$exe" || fail "no stack protector: libssp's handler is missing"
guarded=$("$objdump" -d --no-show-raw-insn "$exe" | grep -oE '[[:space:]]sub[[:space:]]+0x[0-9a-f]+,%e[a-z]x' |
  awk '{print $2}' | cut -d, -f1 | sort | uniq -c | sort -rn | awk 'NR == 1 {print $1}' || true)
[ "${guarded:-0}" -ge 10 ] || fail "no stack protector: ${guarded:-no} functions check a canary"

while [ $# -gt 0 ]; do
  case "$1" in
    --contains)
      grep -qaF -- "$2" "$exe" || fail "does not contain: $2"
      shift 2 ;;
    --contains-utf16)
      needle=$(printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 | tr -d ' \n')
      od -An -tx1 -v "$exe" | tr -d ' \n' | grep -q "$needle" || fail "does not contain (UTF-16): $2"
      shift 2 ;;
    --imports-only)
      # Names compare without letter case and without a ".dll" ending.
      only=" $(tr '[:upper:]' '[:lower:]' <<<"$2" | sed -E 's/\.dll( |$)/\1/g') "
      while read -r dll; do
        [ -n "$dll" ] || continue
        name=$(tr '[:upper:]' '[:lower:]' <<<"$dll" | sed -E 's/\.dll$//')
        [[ "$only" == *" $name "* ]] || fail "imports from $dll at load time, which is not one of: $2"
      done < <(grep '^[[:space:]]*DLL Name:' <<<"$headers" | awk '{print $3}')
      shift 2 ;;
    --max-size)
      size=$(stat -c %s "$exe")
      [ "$size" -le "$2" ] || fail "$size bytes, more than $2"
      shift 2 ;;
    --lacks)
      if grep -qaF -- "$2" "$exe"; then fail "contains: $2"; fi
      shift 2 ;;
    --version-resource)
      # VS_FIXEDFILEINFO: its signature and structure version, then the file and product
      # versions, each as two DWORDs of 16-bit halves (major.minor, build.revision).
      hex16() { printf '%02x%02x' $(($1 & 0xFF)) $(($1 >> 8)); }
      pattern=bd04effe00000100
      for v in "$2" "$3"; do
        IFS=. read -r a b c d <<<"$v"
        pattern+=$(hex16 "$b")$(hex16 "$a")$(hex16 "$d")$(hex16 "$c")
      done
      od -An -tx1 -v "$exe" | tr -d ' \n' | grep -q "$pattern" || fail "no version resource $2 / $3"
      for text in "$4" "FileVersion" "$2" "ProductVersion" "$3"; do
        needle=$(printf '%s' "$text" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 | tr -d ' \n')
        od -An -tx1 -v "$exe" | tr -d ' \n' | grep -q "$needle" || fail "version resource lacks: $text"
      done
      shift 4 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done

echo "$(basename "$exe"): $(stat -c %s "$exe") bytes, $(wc -l <<<"$imports") imports from $(grep -c 'DLL Name' <<<"$headers") DLLs, ${guarded:-0} canary checks"
if [ "$failures" -ne 0 ]; then exit 1; fi
