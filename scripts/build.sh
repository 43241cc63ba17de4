#!/usr/bin/env bash
# build.sh win|native|fuzz [target...]: configures once, then builds incrementally.
set -euo pipefail
cd "$(dirname "$0")/.."
kind=$1; shift
dir=${KELVORIN_BUILD_ROOT:-build}/$kind
# Warnings fail every build, as they fail CI's; a build dir configured
# without that is configured again.
if [ ! -f "$dir/build.ninja" ] || ! grep -qx 'KELVORIN_WERROR:BOOL=ON' "$dir/CMakeCache.txt" 2>/dev/null; then
  case $kind in
    win)    extra=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake") ;;
    native) extra=(-DKELVORIN_SANITIZE=ON) ;;
    fuzz)   extra=(-DKELVORIN_FUZZ=ON -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14) ;;
    *) echo "usage: build.sh win|native|fuzz [target...]" >&2; exit 2 ;;
  esac
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKELVORIN_WERROR=ON "${extra[@]}" >/dev/null
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
rc=0
out=$(cmake --build "$dir" "${targets[@]}" -- --quiet 2>&1) || rc=$?
grep -v -e '^ninja: no work to do' -e '^-- \(Configuring\|Generating\) done' \
        -e '^-- Build files have been written' -e '^-- GLOB mismatch' <<<"$out" || true
exit $rc
