#!/usr/bin/env bash
# Fails when a source file differs from what .clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/../.."
# Versions format differently; the sources are formatted by this one.
format=clang-format-14
if ! command -v "$format" >/dev/null; then
  echo "expected $format (scripts/install-deps.sh installs it), found none" >&2
  exit 1
fi
bad=()
while IFS= read -r f; do
  "$format" --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find app set engine ui tests -name '*.cpp' -o -name '*.h')
if [ ${#bad[@]} -gt 0 ]; then
  echo "expected every file formatted by .clang-format, got these differing (run $format -i):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
