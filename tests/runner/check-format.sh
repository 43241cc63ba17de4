#!/usr/bin/env bash
# Fails when a source file differs from what .clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/../.."
bad=()
while IFS= read -r f; do
  clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find app set engine ui tests -name '*.cpp' -o -name '*.h')
if [ ${#bad[@]} -gt 0 ]; then
  echo "expected every file formatted by .clang-format, got these differing (run clang-format -i):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
