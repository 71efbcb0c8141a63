#!/usr/bin/env bash
# Makes a demonstration installation medium of placeholder driver files: both processor folders
# with every model's resource DLL and GPD and the six Unidrv core files. Enough for Wine's
# spooler to register drivers and create queues; no real printer driver.
#   tools/make-demo-medium.sh [FOLDER]     (default build/demo-medium)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
medium=${1:-$root/build/demo-medium}
files=(POS58.DLL POS58.GPD POS58C.GPD POS80.DLL POS80.GPD POS80C.GPD POS90.DLL POS90.GPD
       POS76.DLL POS76.GPD POS76C.GPD UNIDRV.DLL UNIDRVUI.DLL UNIRES.DLL UNIDRV.HLP TTFSUB.GPD STDNAMES.GPD)
for folder in "Windows NT x86" "Windows x64"; do
  mkdir -p "$medium/$folder"
  for file in "${files[@]}"; do
    printf 'placeholder %s for %s\r\n' "$file" "$folder" > "$medium/$folder/$file"
  done
done
echo "$medium"
