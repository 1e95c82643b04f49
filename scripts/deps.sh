#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, only those that are missing.
#   scripts/deps.sh          the build, tests and benchmarks (xmllint for the
#                            parse-speed comparison)
#   scripts/deps.sh --fuzz   also clang and its libFuzzer runtime
# Packaging and its checks (scripts/package.sh, scripts/package-check.sh) need
# dpkg-dev, lintian, desktop-file-utils, appstream, patchelf and xz-utils; the
# test of the kit's Windows updater runs a MinGW-built program through wine.
set -euo pipefail
packages=(g++ cmake make pkg-config qt6-base-dev qt6-serialport-dev qt6-svg-dev libqt6svg6 qt6-translations-l10n libbenchmark-dev
          qt6-qpa-plugins fonts-dejavu-core xvfb xauth imagemagick libxml2-utils
          dpkg-dev fakeroot file lintian desktop-file-utils appstream patchelf xz-utils wine wine64
          gcc-mingw-w64-x86-64 util-linux poppler-utils)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
