#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run need, when
# any of them is missing. Run as root on Debian 12.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev libgtest-dev fonts-noto-cjk)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
