#!/usr/bin/env bash
# The Windows executable must run on a bare system: it may import only DLLs
# that every Windows has (the C and C++ runtimes are linked in statically).
# Usage: win_imports.sh QUILLON_EXE
set -uo pipefail
EXE=$1
[ -f "$EXE" ] || { echo "FAIL: $EXE does not exist: build the Windows executable first" >&2; exit 1; }
OBJDUMP=x86_64-w64-mingw32-objdump
command -v $OBJDUMP >/dev/null || { echo "FAIL: $OBJDUMP is not installed" >&2; exit 1; }
imports=$($OBJDUMP -p "$EXE" | sed -n 's/^\s*DLL Name: //p' | tr '[:lower:]' '[:upper:]' | sort -u)
[ -n "$imports" ] || { echo "FAIL: no imports found in $EXE" >&2; exit 1; }
status=0
for dll in $imports; do
  case "$dll" in
    KERNEL32.DLL|USER32.DLL|GDI32.DLL|OPENGL32.DLL|GLU32.DLL|WINMM.DLL|MSVCRT.DLL) ;;
    *) echo "FAIL: $EXE imports $dll, which a bare Windows lacks" >&2; status=1 ;;
  esac
done
[ $status = 0 ] && echo "ok: imports only" $imports
exit $status
