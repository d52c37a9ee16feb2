#!/usr/bin/env bash
# Installs what the build needs on a Debian machine. Idempotent, and quick
# when all is already there.
#
#   scripts/setup.sh             everything: both programs, every test, the
#                                fuzzers, the benchmarks (scripts/test.sh)
#   scripts/setup.sh --program   only what the native program scrivlet needs
#                                (scripts/run.sh)
set -euo pipefail

# The native program: a C++17 compiler, CMake with Ninja, and Python, which
# the configure step runs for the packages' documents.
program_packages=(build-essential cmake ninja-build pkg-config python3 locales)
# The rest: the unit tests and benchmarks, the fuzzers (clang), the layout
# check, the Windows build and Wine with its display, fonts and screenshots,
# the timing tools of the benchmarks.
test_packages=(
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-dev clang-format
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine
  xvfb xauth x11-utils xdotool imagemagick
  fonts-ipafont-gothic
  hyperfine time
)

case ${1:-} in
--program) packages=("${program_packages[@]}") ;;
"") packages=("${program_packages[@]}" "${test_packages[@]}") ;;
*)
  echo "usage: $0 [--program]" >&2
  exit 2
  ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine runs with code page 932 only when the glibc locale really exists;
# a missing one silently gives code page 1252. The native program needs none.
if [ "${1:-}" != --program ] && ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating ja_JP.UTF-8"
  $SUDO sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
echo "setup: ready"
