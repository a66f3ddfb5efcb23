#!/bin/bash
# Prepares a Debian 12 machine to build the agent and run it under wine, then
# builds it into build/win64 (or $ZORVANH_BUILD_DIR). ZORVANH_ARCH=32 builds
# the 32-bit agent into build/win32 instead and adds 32-bit wine, which runs
# it. Safe to run again: installs only what is missing.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${ZORVANH_ARCH:-64}
case $arch in
    64) toolchain=mingw-x86_64.cmake ;;
    32) toolchain=mingw-i686.cmake ;;
    *) echo "setup: ZORVANH_ARCH is 32 or 64" >&2; exit 1 ;;
esac

# wine gives /usr/bin/wine, wine64 the loader; the X libraries and fonts are
# only recommended by wine's packages, and recommendations stay out.
packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    wine wine64 fonts-wine libxrender1 libxrandr2 libxi6 libxcursor1 libxfixes3
    libxinerama1 libxcomposite1
    xvfb imagemagick
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
        missing+=("$package")
done
# The 32-bit loader comes from the i386 architecture, which apt knows of
# only once it has been added.
if [ "$arch" = 32 ] && ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "ok installed"; then
    missing+=(wine32:i386)
fi

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all packages present"
else
    echo "setup: installing ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: must run as root to install packages" >&2
        exit 1
    fi
    if [ "$arch" = 32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386 || exit 1
    fi
    apt-get update -q || exit 1
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" || exit 1
fi

build=${ZORVANH_BUILD_DIR:-$root/build/win$arch}
echo "setup: building into $build"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
fi
cmake --build "$build" || exit 1
echo "setup: programs in $build/bin"
