#!/usr/bin/env bash
# Fails when a C++ source of the tree is not formatted as .clang-format says, and
# names the files. Fix with: git ls-files '*.h' '*.cpp' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh static
unformatted=()
while IFS= read -r f; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    unformatted+=("$f")
  fi
done < <(git ls-files '*.h' '*.cpp')
if [ ${#unformatted[@]} -gt 0 ]; then
  printf 'Not formatted as .clang-format says:\n' >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
echo "check-format: every C++ source is formatted"
