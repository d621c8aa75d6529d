#!/usr/bin/env bash
# Fails when the program imports anything but Windows system DLLs (a MinGW
# runtime DLL would have to be shipped beside it).
set -euo pipefail
exe=$1
objdump=x86_64-w64-mingw32-objdump
mapfile -t dlls < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports: ${dlls[*]}"
[ ${#dlls[@]} -gt 0 ] || { echo "no imports found"; exit 1; }
system='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|comctl32|comdlg32|ole32|oleaut32|uxtheme|msvcrt|ntdll|version|setupapi|ws2_32|winmm|dwmapi|psapi|imm32|api-ms-win-[a-z0-9-]+)\.dll$'
bad=0
for d in "${dlls[@]}"; do
  if ! [[ $d =~ $system ]]; then echo "not a system DLL: $d"; bad=1; fi
done
exit $bad
