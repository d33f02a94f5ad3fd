#!/usr/bin/env bash
# Installs what the build needs (where missing), then configures and builds.
# Usage: scripts/setup.sh [--tests] [--sanitize] [build-dir [target...]]  (no target: build everything)
#        scripts/setup.sh [--tests] --packages   install what is missing, build nothing
#   --tests     also what the tests need beside the build: the database server
#               the server pass starts, the format checker, and the Chinese
#               locale its server words messages in (a desk needs none of them)
#   --sanitize  the test build with AddressSanitizer, UBSan and leak checking
#               (a Debug build without the benchmarks; its own build-dir). The
#               sanitizers' run-time libraries come with g++ (libasan8,
#               libubsan1 and liblsan0 are dependencies of its libgcc-12-dev).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
options=()
packages_only=false
tests=false
if [ "${1:-}" = "--tests" ]; then
  tests=true
  shift
fi
if [ "${1:-}" = "--packages" ]; then
  packages_only=true
  shift
fi
if [ "${1:-}" = "--sanitize" ]; then
  options=(-DLIB_SANITIZE=ON -DLIB_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
  shift
fi
build="${1:-$here/build}"
shift || true

# Building and running the program: compiler, Qt, the engines' client
# libraries, and the fonts its windows are drawn in.
pkgs=(cmake g++ ninja-build pkg-config qt6-base-dev qt6-charts-dev
      libsqlite3-dev libpq-dev libicu-dev libgl-dev fonts-noto-cjk fonts-urw-base35)
# The tests: a PostgreSQL server for the server pass, clang-format for the
# format check, the locales for a server that words its messages in Chinese,
# and Xvfb for watching a test's window (README, Working on the code).
$tests && pkgs+=(postgresql clang-format locales xvfb xauth)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
# A test server words its messages in Chinese, as a Chinese library's server
# does (scripts/pgcluster.sh --messages zh_CN.UTF-8): the locale must exist.
if $tests && ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8'; then
  echo "Generating the locale zh_CN.UTF-8"
  $sudo_cmd localedef -i zh_CN -c -f UTF-8 zh_CN.UTF-8
fi

$packages_only && exit 0

werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S "$here" -B "$build" -G Ninja -DLIB_WERROR=$werror "${options[@]}" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$build" -j"$(nproc)" --target "$@"
else
  cmake --build "$build" -j"$(nproc)"
fi
