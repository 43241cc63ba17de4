#!/usr/bin/env bash
# Fails when an exe that users copy still carries its debug information, or
# when that information is not beside it as the exe's debuglink names it.
set -euo pipefail
limit=$((1024 * 1024))
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for exe in "$@"; do
  size=$(stat -c %s "$exe")
  [ "$size" -lt "$limit" ] || { echo "expected $exe under $limit bytes, got $size"; exit 1; }
  rm -f "$tmp/link"
  x86_64-w64-mingw32-objcopy --dump-section .gnu_debuglink="$tmp/link" "$exe" "$tmp/copy" 2>/dev/null || true
  [ -s "$tmp/link" ] || { echo "expected a .gnu_debuglink section in $exe, got none"; exit 1; }
  # The link holds the file name, padding, and the file's CRC-32 in its last four bytes.
  name=$(head -c -4 "$tmp/link" | tr -d '\0')
  debug=$(dirname "$exe")/$name
  [ -f "$debug" ] || { echo "expected $debug beside $exe, got none"; exit 1; }
  # gzip's trailer starts with the same CRC-32, in the same byte order.
  want=$(tail -c 4 "$tmp/link" | od -An -tx1)
  got=$(gzip -c "$debug" | tail -c 8 | head -c 4 | od -An -tx1)
  [ "$want" = "$got" ] || { echo "expected $debug with CRC-32$want, got$got (stale)"; exit 1; }
  sections=$(x86_64-w64-mingw32-objdump -h "$debug")
  grep -q ' \.debug_info ' <<<"$sections" || { echo "expected debug information in $debug, got none"; exit 1; }
  echo "$(basename "$exe"): $size bytes, debug information in $name"
done
