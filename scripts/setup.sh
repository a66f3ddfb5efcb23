#!/bin/bash
# Prepares a Debian 12 machine to build the agent and run it under wine, then
# builds both agents: build/win32 (the one users install beside the 32-bit
# service library) and build/win64. Safe to run again: installs only what is
# missing and builds only what changed.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)

# wine gives /usr/bin/wine, wine64 the 64-bit loader, wine32 the 32-bit one;
# the X libraries and fonts are only recommended by wine's packages, and
# recommendations stay out. The win32-thread compilers link no pthread
# runtime, whose imports Windows 2000 and XP lack.
packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
    g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
    wine wine64 wine32:i386 fonts-wine libxrender1 libxrandr2 libxi6 libxcursor1 libxfixes3
    libxinerama1 libxcomposite1
    xvfb xdotool imagemagick libx11-dev
    python3-pytest python3-pytest-xdist python3-pytest-timeout
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
        missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all packages present"
else
    echo "setup: installing ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: must run as root to install packages" >&2
        exit 1
    fi
    # 32-bit wine comes from Debian's i386 architecture.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386 || { echo "setup: cannot add the i386 architecture" >&2; exit 1; }
    fi
    apt-get update -q || exit 1
    if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"; then
        echo "setup: could not install ${missing[*]}; 32-bit wine needs the i386 packages of Debian 12" >&2
        exit 1
    fi
fi

build() {  # build <folder> <toolchain>
    local dir=$root/build/$1
    echo "setup: building into $dir"
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" \
            -DCMAKE_BUILD_TYPE=Release >/dev/null || return 1
    fi
    cmake --build "$dir" || return 1
    echo "setup: programs in $dir/bin"
}
build win32 mingw-i686.cmake || exit 1
build win64 mingw-x86_64.cmake || exit 1
