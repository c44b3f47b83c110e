#!/usr/bin/env bash
# tests/check_imports.sh PROGRAM LISTS
#
# Whether the program can start on the oldest Windows it is made for. Windows refuses a
# program before any of its code runs when it imports a function that a system DLL does
# not export, or when its header asks for a newer subsystem, so this reads the executable
# itself, no Windows needed: every import must be in Windows NT 4.0's export list
# (LISTS/nt40.txt), and every import from KERNEL32, USER32, GDI32 and ADVAPI32 in
# Windows 95's as well (LISTS/win95.txt), so that there the program loads far enough to
# say that it needs Windows NT. Newer functions are for the program to look up at run time.
set -euo pipefail
program=$1 lists=$2
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
win95_dlls='^(KERNEL32|USER32|GDI32|ADVAPI32)\.DLL '

headers=$("$objdump" -p "$program")
# "DLL Function" for each import; "DLL #ordinal" for one imported by number, which no
# list can vouch for.
imports=$(awk '
  /^The Import Tables/ { inside = 1; next }
  inside && /^[A-Za-z]/ { inside = 0 }
  inside && /DLL Name:/ { dll = toupper($3); next }
  inside && dll && /^\t[0-9a-f]+\t/ { print dll, (NF >= 3 ? $3 : "#" $2) }
' <<<"$headers" | sort -u)
listed() { grep -v '^#' "$lists/$1" | sed '/^[[:space:]]*$/d' | sort -u; }

failed=0
fail() { echo "check_imports: $*" >&2; failed=1; }

[ -n "$imports" ] || fail "no imports read from $program"
while read -r missing; do
  [ -n "$missing" ] && fail "Windows NT 4.0 does not export $missing"
done < <(comm -23 <(echo "$imports") <(listed nt40.txt))
while read -r missing; do
  [ -n "$missing" ] && fail "Windows 95 does not export $missing"
done < <(comm -23 <(grep -E "$win95_dlls" <<<"$imports" || true) <(listed win95.txt))

# Windows NT 4.0 and 95 load only programs that ask for subsystem 4.0 or older.
subsystem=$(awk '/^MajorSubsystemVersion/ { major = $2 } /^MinorSubsystemVersion/ { print major "." $2 }' <<<"$headers")
case "$subsystem" in
  [0-3].* | 4.0) ;;
  *) fail "the program asks for subsystem version ${subsystem:-(none read)}; NT 4.0 and 95 need 4.0 or older" ;;
esac

[ "$failed" -eq 0 ] || exit 1
echo "check_imports: $(wc -l <<<"$imports") imports from $(cut -d' ' -f1 <<<"$imports" | sort -u | wc -l) DLLs," \
     "all exported by Windows NT 4.0, those of the Windows 95 DLLs by Windows 95 too; subsystem $subsystem"
