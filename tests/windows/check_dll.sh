#!/usr/bin/env bash
# Checks the built vantor.dll as a vehicle author's host sees it: exactly the sixteen exports
# under their undecorated names, and imports from system DLLs only, so that the DLL loads on
# a Windows machine that has none of the cross toolchain's runtime DLLs.
#
#   check_dll.sh WINDOWS_BUILD
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
dll=$1/vantor.dll
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
[[ -f $dll ]] || { echo "missing $dll" >&2; exit 1; }

headers=$("$objdump" -p "$dll")
status=0

grep -q '^Magic.*20b' <<<"$headers" || { echo "vantor.dll is not a 64-bit (PE32+) image" >&2; status=1; }

expected=$(grep -o '"[A-Za-z]*"' <(sed -n '/kExportNames/,/};/p' "$here/../../src/host/exports.h") |
  tr -d '"' | sort)
exported=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
if [[ $(wc -l <<<"$expected") -ne 16 ]]; then
  echo "could not read the sixteen export names from exports.h" >&2
  status=1
elif [[ $exported != "$expected" ]]; then
  echo "exports differ from the sixteen host functions:" >&2
  diff <(echo "$expected") <(echo "$exported") >&2 || true
  status=1
fi

# Windows itself and its C runtimes; anything else would have to ship beside the DLL.
imports=$(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$headers")
while read -r name; do
  case ${name,,} in
    kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll) ;;
    *) echo "imports from a non-system DLL: $name" >&2; status=1 ;;
  esac
done <<<"$imports"

if ((status == 0)); then
  echo "vantor.dll: 16 undecorated exports; imports $(tr '\n' ' ' <<<"$imports")"
fi
exit $status
