#!/usr/bin/env bash
# Fails when the program imports anything but Windows system DLLs (a MinGW runtime DLL would have to ship beside it).
set -euo pipefail
dlls=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports:" $dlls
[ -n "$dlls" ] || { echo "no imports found"; exit 1; }
system='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|comctl32|comdlg32|ole32|oleaut32|uxtheme|msvcrt|ntdll|version|setupapi|ws2_32|winmm|dwmapi|psapi|imm32|api-ms-win-[a-z0-9-]+)\.dll$'
! grep -vE "$system" <<<"$dlls" | sed 's/^/not a system DLL: /' | grep .
