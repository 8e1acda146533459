#!/usr/bin/env bash
# Installs the Debian packages the native build and its tests need, if any
# are missing; more package names may follow as arguments. Run as root on
# Debian 12.
set -euo pipefail
# shellcheck source=scripts/common.sh
. "$(dirname "$0")/common.sh"

# clang builds the fuzz targets; its sanitizer and fuzzer runtimes are a
# package of their own. sox and flac make and check audio files in the tests;
# libsndfile imports FLAC, AIFF and other formats; cairo
# draws the editor (found through pkg-config); ccache keeps rebuilds of several build folders short.
packages=(cmake make g++ clang libclang-rt-14-dev ccache libgtest-dev libgmock-dev
          libbenchmark-dev libwavpack-dev libtinyxml-dev libsndfile1-dev libcairo2-dev pkg-config
          wavpack sox flac hyperfine)
if [ "$#" -gt 0 ]; then
    packages+=("$@")
fi

command -v dpkg-query >/dev/null 2>&1 && command -v apt-get >/dev/null 2>&1 ||
    fail "dpkg and apt-get are missing: this script installs Debian packages and runs on Debian 12 only."

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

[ "$(id -u)" -eq 0 ] ||
    fail "these Debian packages are missing and installing them needs root: ${missing[*]} (run the script as root)."
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq ||
    fail "apt-get update failed, so the package lists needed to install ${missing[*]} are missing: check the sources in /etc/apt/sources.list and /etc/apt/sources.list.d/ and the network."
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    fail "apt-get could not install some of: ${missing[*]} (apt's own message is above)."
