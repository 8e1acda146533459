#!/usr/bin/env bash
# Installs the Debian packages the native build and its tests need, if any
# are missing. Run as root on Debian 12.
set -euo pipefail

packages=(cmake make g++ clang libgtest-dev libgmock-dev libbenchmark-dev libwavpack-dev libcairo2-dev pkg-config
          libtinyxml-dev wavpack libpng-dev hyperfine)
if [ "$#" -gt 0 ]; then
    packages+=("$@")
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
