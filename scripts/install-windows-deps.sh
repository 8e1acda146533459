#!/usr/bin/env bash
# Installs what the Windows cross build and its tests under Wine need, on top
# of the native build's packages. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
# The posix thread model: the win32 one has no std::thread or std::mutex.
# dpkg-dev unpacks the third-party source packages; fonts-wine gives Wine's
# dialogs their fonts without Wine's other recommendations; zip packs the
# plug-ins for users (scripts/package.sh).
exec scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine64 fonts-wine xvfb dpkg-dev zip
