#!/usr/bin/env bash
# Checks that a program is a 32-bit Windows GUI executable that imports nothing but DLLs every
# Windows system has (and the DLLs named after it, which ship beside it), so it runs without any
# MinGW runtime DLL beside it.
#   check-program-image.sh OBJDUMP PROGRAM [SHIPPED_DLL...]
set -uo pipefail
objdump=$1
program=$2
shift 2
shipped=("$@")

# DLLs that are part of Windows itself (names compared in lower case).
system_dlls=(
  advapi32.dll comctl32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll
  netapi32.dll ole32.dll oleaut32.dll setupapi.dll shell32.dll shlwapi.dll user32.dll
  version.dll winmm.dll
)

status=0
description=$(file -b "$program")
case $description in
  "PE32 executable (GUI) Intel 80386"*) echo "image: $description" ;;
  *)
    echo "FAIL: $program is not a 32-bit GUI program: file says \"$description\""
    status=1
    ;;
esac

mapfile -t imports < <("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
if [ ${#imports[@]} -eq 0 ]; then
  echo "FAIL: $objdump lists no imported DLL of $program"
  exit 1
fi
for dll in "${imports[@]}"; do
  lower=${dll,,}
  if printf '%s\n' "${system_dlls[@]}" | grep -qxF "$lower"; then
    echo "import: $dll"
  elif [ ${#shipped[@]} -gt 0 ] && printf '%s\n' "${shipped[@]}" | grep -qxF "$lower"; then
    echo "import: $dll (shipped beside it)"
  else
    echo "FAIL: $program imports $dll, which is not a Windows system DLL"
    status=1
  fi
done
exit $status
