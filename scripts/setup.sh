#!/usr/bin/env bash
# Installs what the build needs (where missing), then configures and builds.
# Usage: scripts/setup.sh [--sanitize] [build-dir [target...]]  (no target: build everything)
#        scripts/setup.sh --packages   install what is missing, build nothing
#   --sanitize  the test build with AddressSanitizer, UBSan and leak checking
#               (a Debug build without the benchmarks; its own build-dir). The
#               sanitizers' run-time libraries come with g++ (libasan8,
#               libubsan1 and liblsan0 are dependencies of its libgcc-12-dev).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
options=()
packages_only=false
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

pkgs=(cmake g++ ninja-build pkg-config qt6-base-dev qt6-charts-dev
      libsqlite3-dev libpq-dev libicu-dev postgresql libgl-dev locales
      xvfb xauth fonts-noto-cjk fonts-urw-base35 imagemagick clang-format)
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
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8'; then
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
