#!/bin/bash
# Lists a program's imported functions and fails on any that is not in the
# allowed list of its oldest Windows:
#   tests/imports/check.sh <program.exe> <allowed-list>
# Prints "imports: N functions, all allowed" or each one that is not.
set -u
program=$1
allowed=$2
objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump) || { echo "imports: no objdump"; exit 2; }
[ -f "$program" ] || { echo "imports: no $program"; exit 2; }
imports=$("$objdump" -p "$program" |
    awk '/DLL Name:/ { dll = toupper($3); next }
         /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ && dll { print dll, $3 }' | sort -u)
[ -n "$imports" ] || { echo "imports: none read from $program"; exit 1; }
unknown=$(comm -23 <(printf '%s\n' "$imports") <(grep -v '^#' "$allowed" | sort -u))
if [ -n "$unknown" ]; then
    echo "imports of $program that its oldest Windows lacks or nobody has checked:"
    printf '  %s\n' $unknown | paste - - 
    exit 1
fi
echo "imports: $(printf '%s\n' "$imports" | wc -l) functions of $(basename "$program"), all allowed"
