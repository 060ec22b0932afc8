#!/usr/bin/env bash
# Checks the Windows binaries of the release package as an author's machine sees them:
# vantor.dll with exactly the sixteen exports under their undecorated names, and both it and
# vantor-sim.exe importing from system DLLs only, so that they run on a Windows machine that
# has none of the cross toolchain's runtime DLLs.
#
#   check_binaries.sh WINDOWS_BUILD
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
dll=$1/vantor.dll
exe=$1/tools/vantor-sim/vantor-sim.exe
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
for file in "$dll" "$exe"; do
  [[ -f $file ]] || { echo "missing $file" >&2; exit 1; }
done

status=0

# check_imports FILE HEADERS: Windows itself and its C runtimes; anything else would have to
# ship beside the file.
check_imports() {
  local name imports
  imports=$(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$2")
  while read -r name; do
    case ${name,,} in
      kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll) ;;
      *) echo "${1##*/} imports from a non-system DLL: $name" >&2; status=1 ;;
    esac
  done <<<"$imports"
  echo "${1##*/}: imports $(tr '\n' ' ' <<<"$imports")"
}

for file in "$exe" "$dll"; do
  headers=$("$objdump" -p "$file")
  grep -q '^Magic.*20b' <<<"$headers" || { echo "${file##*/} is not a 64-bit (PE32+) image" >&2; status=1; }
  check_imports "$file" "$headers"
done

# $headers is the DLL's from here on.
expected=$(sed -n 's/^ *X(\([A-Za-z]*\),.*/\1/p' "$here/../../src/host/export_list.h" | sort)
exported=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
if [[ $(wc -l <<<"$expected") -ne 16 ]]; then
  echo "could not read the sixteen export names from export_list.h" >&2
  status=1
elif [[ $exported != "$expected" ]]; then
  echo "vantor.dll's exports differ from the sixteen host functions:" >&2
  diff <(echo "$expected") <(echo "$exported") >&2 || true
  status=1
else
  echo "vantor.dll: the 16 undecorated exports"
fi

# Each export must lead into the DLL's code: a table with the right names can still point them
# anywhere, as it did when mingw-w64 linked the .def file with link-time optimisation.
image_base=$((16#$(sed -n 's/^ImageBase[[:space:]]*//p' <<<"$headers")))
read -r text_size text_start < <("$objdump" -h "$dll" | awk '$2 == ".text" { print $3, $4 }')
text_start=$((16#$text_start))
text_end=$((text_start + 16#$text_size))
outside=0
count=0
while read -r rva; do
  count=$((count + 1))
  address=$((image_base + 16#$rva))
  if ((address < text_start || address >= text_end)); then
    outside=$((outside + 1))
  fi
done < <(sed -n 's/^[[:space:]]*\[.*\][[:space:]]*\([0-9a-f]*\) Export RVA$/\1/p' <<<"$headers")
if ((count != 16)); then
  echo "vantor.dll: could not read the sixteen export addresses" >&2
  status=1
elif ((outside > 0)); then
  echo "vantor.dll: $outside exports point outside its code" >&2
  status=1
else
  echo "vantor.dll: every export leads into its code"
fi
exit $status
