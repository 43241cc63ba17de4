#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need;
# "install-deps.sh fuzz" also clang's libFuzzer, for fuzz/run.sh.
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ make clang-format-14 git procps
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-utils xdotool imagemagick
  googletest fonts-liberation fonts-wine rsync
  fuse3 exfat-fuse exfatprogs fusefat dosfstools mtools
)
if [ "${1:-}" = fuzz ]; then packages+=(clang-14 libclang-rt-14-dev); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
