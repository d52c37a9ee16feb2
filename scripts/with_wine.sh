#!/usr/bin/env bash
# Runs one command inside a throw-away Wine environment (scripts/wine_env.sh)
# and takes it down again afterwards, whatever happens.
#
#   scripts/with_wine.sh ctest --test-dir build/mingw -j1 --output-on-failure
#
# WINE_ENV_KEEP=1 keeps the prefix and the logs for a look afterwards.
set -uo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARGS...]" >&2
    exit 2
fi

# shellcheck source=scripts/wine_env.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"
wine_env_start || exit 1
"$@"
