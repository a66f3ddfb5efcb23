#!/bin/bash
# Builds the 64-bit and the 32-bit agent and packs both into one ZIP:
#   scripts/package.sh [out-dir]      (default out/package)
# The archive holds x64/ and x86/, each with ZorvanHAgent.exe and
# INSTALL.txt. Prints the archive's path.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/out/package}
cd "$root" || exit 1
for arch in x86_64:win64 i686:win32; do
    toolchain=${arch%%:*} build=build/${arch##*:}
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$toolchain.cmake" \
            -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
    fi
    cmake --build "$build" --target ZorvanHAgent >/dev/null || exit 1
done
version=$(sed -n 's/^project(ZorvanHAgent VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mkdir -p "$out"
# One archive from both builds: each build's install rules, in a folder
# named after its architecture.
cpack --config build/win64/CPackConfig.cmake -B "$out" \
    -D "CPACK_INSTALL_CMAKE_PROJECTS=$root/build/win64;ZorvanHAgent;ALL;/x64;$root/build/win32;ZorvanHAgent;ALL;/x86" \
    -D "CPACK_PACKAGE_FILE_NAME=ZorvanHAgent-$version-windows" >/dev/null || exit 1
rm -rf "$out/_CPack_Packages"
echo "$out/ZorvanHAgent-$version-windows.zip"
