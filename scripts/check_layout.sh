#!/usr/bin/env bash
# Checks that clang-format (.clang-format) leaves every C++ source of the
# repository as it is: the files git tracks and the new ones it does not
# ignore. Lists what it would change.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h' '*.c' |
  while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
  xargs -0 -r clang-format --dry-run --Werror
