#!/usr/bin/env bash
# Fails when the exe imports anything but Windows system DLLs.
set -euo pipefail
exe=$1
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$dlls" ] || { echo "no import table found in $exe"; exit 1; }
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|advapi32|ole32|oleaut32|msvcrt|shlwapi|uxtheme|api-ms-win-[a-z0-9-]+)\.dll$'
bad=$(grep -Ev "$allowed" <<<"$dlls" || true)
if [ -n "$bad" ]; then
  echo "expected only system DLLs, got also:"; echo "$bad"; exit 1
fi
# The manifest is stored as UTF-8, the version resource as UTF-16.
[ "$(strings "$exe" | grep -c '<dpiAwareness.*PerMonitorV2')" -gt 0 ] || { echo "expected the manifest, got none"; exit 1; }
[ "$(strings -el "$exe" | grep -cx '2.0.0')" -gt 0 ] || { echo "expected version resource 2.0.0, got none"; exit 1; }
echo "imports: $(tr '\n' ' ' <<<"$dlls")"
