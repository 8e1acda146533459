#!/usr/bin/env bash
# Builds the third-party libraries of the Windows cross build, WavPack,
# TinyXML and libsndfile (with the FLAC, Ogg, Vorbis and Opus libraries it
# reads through), from Debian's source packages into third_party_cache/mingw
# (git ignores the cache), all static: the plug-in stays one file. Fetching
# uses apt with a private sources list and package lists inside the cache,
# so the system's apt state is left alone. Does nothing when the libraries
# are already built.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
cache="$root/third_party_cache"
prefix="$cache/mingw"
stamp="$prefix/.built-v1"
audio_stamp="$prefix/.built-audio-v1"
[ -f "$stamp" ] && [ -f "$audio_stamp" ] && exit 0

mkdir -p "$cache/src" "$prefix/include" "$prefix/lib"
# shellcheck source=scripts/common.sh
. scripts/common.sh
how="run scripts/install-windows-deps.sh as root first."
require_command x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix "$how"
require_command cmake cmake "$how"
require_command dpkg-source dpkg-dev "$how"
require_command apt-get apt "this script fetches Debian's source packages and runs on Debian 12 only."

# The machine's own package sources as source-package entries, from either
# form apt reads: one-line entries ("deb URI SUITE COMPONENTS", the
# sources.list of a standard installation) and deb822 stanzas ("Types: deb"
# in *.sources files).
write_source_entries() { # folder
    local list parts
    eval "$(apt-config shell list Dir::Etc::sourcelist/f parts Dir::Etc::sourceparts/d)"
    list="${list:-/etc/apt/sources.list}"
    parts="${parts:-/etc/apt/sources.list.d/}"
    local one_line=() stanzas=() file
    shopt -s nullglob
    for file in "$list" "$parts"*.list; do
        if [ -r "$file" ]; then one_line+=("$file"); fi
    done
    for file in "$parts"*.sources; do
        if [ -r "$file" ]; then stanzas+=("$file"); fi
    done
    shopt -u nullglob
    awk '$1 == "deb" { $1 = "deb-src"; print }' /dev/null "${one_line[@]}" >"$1/one-line.list"
    for file in "${stanzas[@]}"; do
        # A stanza for binary packages serves source packages too; blank
        # lines keep the stanzas of separate files apart.
        awk '/^Types:/ { for (i = 2; i <= NF; ++i) if ($i == "deb") { $0 = "Types: deb-src"; break } }
             { print } END { print "" }' "$file"
    done >"$1/stanzas.sources"
    grep -q '^deb-src' "$1/one-line.list" || grep -q '^Types: deb-src' "$1/stanzas.sources" ||
        fail "no Debian package sources found in $list or $parts (neither \"deb\" lines nor \"Types: deb\" stanzas), so the source packages of WavPack and TinyXML cannot be fetched."
}

fetch() { # source packages...
    local apt="$cache/apt"
    rm -rf "$apt/sources"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources"
    write_source_entries "$apt/sources"
    local options=(-o "Dir::Etc::sourcelist=-" -o "Dir::Etc::sourceparts=$apt/sources"
                   -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
                   -o "APT::Sandbox::User=root")
    # A third-party source without source packages only warns here: what
    # counts is that Debian's sources answer below.
    apt-get -qq "${options[@]}" update || true
    (cd "$cache/src" && apt-get -qq "${options[@]}" source "$@" >/dev/null) ||
        fail "apt-get could not fetch the source packages $* from the sources in $apt/sources (made from this machine's apt sources): check that they name a reachable Debian 12 mirror."
}

source_dir() {
    find "$cache/src" -maxdepth 1 -type d -name "$1-*" | sort | tail -n 1
}

packages=(wavpack tinyxml libsndfile flac libogg libvorbis opus)
missing=()
for package in "${packages[@]}"; do
    [ -n "$(source_dir "$package")" ] || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
    fetch "${missing[@]}"
fi

# A library with its own CMake build, static, into the prefix; skipped when
# its library file is there already (a run stopped half way resumes).
cmake_build() { # name library-file source-folder options...
    local name="$1" library="$2" src="$3"
    shift 3
    [ -f "$prefix/lib/$library" ] && return 0
    rm -rf "$cache/build-$name"
    cmake -S "$src" -B "$cache/build-$name" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF "$@" >/dev/null
    cmake --build "$cache/build-$name" -j "$(nproc)" >/dev/null
    cmake --install "$cache/build-$name" >/dev/null
}

if [ ! -f "$stamp" ]; then
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
fi

# libsndfile reads FLAC, Ogg Vorbis and Opus only with all three libraries;
# libFLAC built static wants FLAC__NO_DLL in every file that includes it.
if [ ! -f "$audio_stamp" ]; then
    cmake_build ogg libogg.a "$(source_dir libogg)" -DINSTALL_DOCS=OFF
    cmake_build flac libFLAC.a "$(source_dir flac)" -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF \
        -DBUILD_EXAMPLES=OFF -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DWITH_OGG=ON \
        -DWITH_STACK_PROTECTOR=OFF -DWITH_FORTIFY_SOURCE=OFF
    cmake_build vorbis libvorbis.a "$(source_dir libvorbis)"
    # Opus 1.3.1's release lacks the file that sets a default build type
    # (its build includes it from the source folder); we always give the
    # build type, so an empty stand-in does.
    opus_src="$(source_dir opus)"
    [ -f "$opus_src/opus_buildtype.cmake" ] ||
        echo "# The build type comes from the command line." >"$opus_src/opus_buildtype.cmake"
    cmake_build opus libopus.a "$opus_src" -DOPUS_BUILD_PROGRAMS=OFF -DOPUS_BUILD_TESTING=OFF \
        -DOPUS_STACK_PROTECTOR=OFF -DOPUS_FORTIFY_SOURCE=OFF
    cmake_build sndfile libsndfile.a "$(source_dir libsndfile)" -DCMAKE_C_FLAGS=-DFLAC__NO_DLL \
        -DENABLE_EXTERNAL_LIBS=ON -DENABLE_MPEG=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
        -DBUILD_REGTEST=OFF -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF -DENABLE_PACKAGE_CONFIG=OFF
    [ -f "$prefix/lib/libsndfile.a" ] && [ -f "$prefix/lib/libFLAC.a" ] ||
        fail "the Windows build of libsndfile or libFLAC did not produce its static library."
    touch "$audio_stamp"
fi
echo "Third-party libraries for Windows are in $prefix"
