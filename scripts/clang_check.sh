#!/bin/bash
# Compiles every source of the agent with clang for 64-bit mingw-w64, syntax
# only, so that what only GCC accepts fails before a second compiler meets it:
#   scripts/clang_check.sh [build-dir]     (default build/win64, for its
#                                          generated version header)
# Prints "clang: N files, no warnings" or every diagnostic; fails on any.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win64}
cd "$root" || exit 1
command -v clang++ >/dev/null || { echo "clang: no clang++"; exit 2; }
[ -f "$build/src/generated/agent_version.h" ] || { echo "clang: no $build/src/generated/agent_version.h"; exit 2; }
# The C++ library headers are the mingw-w64 GCC's, as in the real build;
# clang brings its own compiler headers, and the host's stay out.
gcc_version=$(x86_64-w64-mingw32-g++-win32 -dumpversion) || { echo "clang: no mingw-w64 g++"; exit 2; }
cxx=/usr/lib/gcc/x86_64-w64-mingw32/$gcc_version-win32/include/c++
[ -d "$cxx" ] || cxx=/usr/lib/gcc/x86_64-w64-mingw32/$gcc_version/include/c++
# The definitions the top CMakeLists.txt gives every Windows source.
flags=(--target=x86_64-w64-mingw32 -std=c++17 -fsyntax-only -Wall -Wextra -nostdlibinc
    -isystem "$cxx" -isystem "$cxx/x86_64-w64-mingw32" -isystem "$cxx/backward"
    -isystem /usr/x86_64-w64-mingw32/include
    -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0501
    -Isrc -Isrc/resources -I"$build/src/generated")
files=$(find src -name '*.cpp' | sort)
log=$(mktemp)
printf '%s\n' $files | xargs -P "$(nproc)" -n 8 clang++ "${flags[@]}" >"$log" 2>&1
status=$?
if [ $status -ne 0 ] || [ -s "$log" ]; then
    cat "$log"
    echo "clang: $(grep -c 'warning:' "$log") warnings, $(grep -c 'error:' "$log") errors"
    rm -f "$log"
    exit 1
fi
rm -f "$log"
echo "clang: $(printf '%s\n' $files | wc -l) files, no warnings"
