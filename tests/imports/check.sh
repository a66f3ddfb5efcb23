#!/bin/bash
# Lists a program's imported functions and fails on any that is not in the
# allowed list of its oldest Windows:
#   tests/imports/check.sh <program.exe> <allowed-list>
# Prints "imports: N functions, all allowed" or each one that is not.
set -u
objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump) || { echo "imports: no objdump"; exit 2; }
[ -f "$1" ] || { echo "imports: no $1"; exit 2; }
imports=$("$objdump" -p "$1" | awk '/DLL Name:/ { dll = toupper($3); next }
    /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ && dll { print dll, $3 }' | sort -u)
[ -n "$imports" ] || { echo "imports: none read from $1"; exit 1; }
unknown=$(comm -23 <(echo "$imports") <(grep -v '^#' "$2" | sort -u))
if [ -n "$unknown" ]; then
    echo "imports of $1 that its oldest Windows lacks or nobody has checked:"
    printf '  %s\n' $unknown | paste - -
    exit 1
fi
echo "imports: $(echo "$imports" | wc -l) functions of $(basename "$1"), all allowed"
