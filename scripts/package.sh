#!/usr/bin/env bash
# Builds the Windows plug-ins and packs what a user installs into one zip:
#   scripts/package.sh [OUT.zip]      (default build/Spoolex-Windows-x64.zip)
# Needs the Windows build's packages (scripts/install-windows-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-build/Spoolex-Windows-x64.zip}")"

generator="Korvane Spoolex REVA 081029.x64.dll"
input="Korvane Spoolex Input REVA 081029.x64.dll"
settings="Korvane Spoolex settings.xml"

scripts/build.sh windows spoolex_generator_plugin spoolex_input_plugin

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "build/windows/Gear/Generators/$generator" "build/windows/Gear/Effects/$input" \
   "generator/settings/$settings" "$stage/"

# Windows line ends, so that any text editor shows the lines.
sed 's/$/\r/' >"$stage/Where the files go.txt" <<TEXT
Korvane Spoolex for the host on 64-bit Windows

Copy each file into the Gear folder inside the host's own folder:

  $generator
      into Gear\\Generators
  $input
      into Gear\\Effects
  $settings
      into Gear\\Generators, beside the generator DLL

The settings file is optional: a commented example that configures external
wave editors, the folder first offered for a song's wave data, redrawing while
recording, and keyboard shortcuts for the editor. If you already have one,
keep yours. Spoolex reads it whenever a Spoolex machine is created.

Both DLLs need nothing but Windows' own DLLs. Start the host (again) after
copying; the generator "Korvane Spoolex" and the effect "Korvane Spoolex
Input" then appear among its machines.
TEXT

mkdir -p "$(dirname "$out")"
rm -f "$out"
(cd "$stage" && zip -q -X -9 "$out" "$generator" "$input" "$settings" "Where the files go.txt")
echo "$out"
