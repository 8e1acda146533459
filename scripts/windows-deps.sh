#!/usr/bin/env bash
# Builds the third-party libraries of the Windows cross build, WavPack and
# TinyXML, from Debian's source packages into third_party_cache/mingw (git
# ignores the cache). Fetching uses apt with a private sources list and
# package lists inside the cache, so the system's apt state is left alone.
# Does nothing when the libraries are already built.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
cache="$root/third_party_cache"
prefix="$cache/mingw"
stamp="$prefix/.built-v1"
[ -f "$stamp" ] && exit 0

mkdir -p "$cache/src" "$prefix/include" "$prefix/lib"

fetch() {
    local apt="$cache/apt"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        >"$apt/sources.sources"
    local options=(-o "Dir::Etc::sourcelist=-" -o "Dir::Etc::sourceparts=$apt"
                   -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
                   -o "APT::Sandbox::User=root")
    mv "$apt/sources.sources" "$apt/debian-src.sources"
    apt-get -qq "${options[@]}" update
    (cd "$cache/src" && apt-get -qq "${options[@]}" source wavpack tinyxml >/dev/null)
}

source_dir() {
    find "$cache/src" -maxdepth 1 -type d -name "$1-*" | sort | tail -n 1
}

if [ -z "$(source_dir wavpack)" ] || [ -z "$(source_dir tinyxml)" ]; then
    fetch
fi
wavpack_src="$(source_dir wavpack)"
tinyxml_src="$(source_dir tinyxml)"

# WavPack with its own build, static, without programs or crypto.
rm -rf "$cache/build-wavpack"
cmake -S "$wavpack_src" -B "$cache/build-wavpack" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DWAVPACK_ENABLE_LIBCRYPTO=OFF -DWAVPACK_BUILD_PROGRAMS=OFF \
    -DWAVPACK_BUILD_COOLEDIT_PLUGIN=OFF -DWAVPACK_BUILD_WINAMP_PLUGIN=OFF \
    -DWAVPACK_BUILD_DOCS=OFF -DWAVPACK_INSTALL_DOCS=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$cache/build-wavpack" -j "$(nproc)" >/dev/null
cmake --install "$cache/build-wavpack" >/dev/null

# TinyXML is four files; Debian's patches make it use the standard library.
rm -rf "$cache/build-tinyxml"
mkdir -p "$cache/build-tinyxml"
for file in tinyxml tinystr tinyxmlerror tinyxmlparser; do
    x86_64-w64-mingw32-g++-posix -O2 -DTIXML_USE_STL -c "$tinyxml_src/$file.cpp" \
        -o "$cache/build-tinyxml/$file.o"
done
rm -f "$prefix/lib/libtinyxml.a"
x86_64-w64-mingw32-ar rcs "$prefix/lib/libtinyxml.a" "$cache/build-tinyxml"/*.o
cp "$tinyxml_src/tinyxml.h" "$tinyxml_src/tinystr.h" "$prefix/include/"

touch "$stamp"
echo "Third-party libraries for Windows are in $prefix"
