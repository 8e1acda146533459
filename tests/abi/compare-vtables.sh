#!/usr/bin/env bash
# Compares the virtual tables of the host interfaces as clang lays them out for
# the MSVC ABI (tests/abi/MsvcHostDeclarations.h, the host's view) with those
# MinGW g++ lays out for ours (hostsdk/), slot by slot, by operation name.
#   compare-vtables.sh CLANGXX MINGW_GXX SOURCE_DIR WORK_DIR
set -euo pipefail
clang="$1" gxx="$2" source="$3" work="$4"
mkdir -p "$work"
cd "$work"

"$clang" --target=x86_64-pc-windows-msvc -std=c++17 -fno-exceptions -fno-rtti \
    -Xclang -fdump-vtable-layouts -I"$source" -c -emit-llvm -o /dev/null \
    "$source/tests/abi/MsvcVtableDump.cpp" >msvc.txt
"$gxx" -std=c++17 -fdump-lang-class -I"$source" -c -o /dev/null \
    "$source/tests/abi/MinGWVtableDump.cpp"
mv ./*.class mingw.txt

# One "class slot name" line per slot of the MSVC view. The deleting
# destructor is the slot our declarations call destroy.
awk '
/^VFTable for .* entr(y|ies)\)\.$/ && !/ in / {
    cls = $3; gsub(/\x27/, "", cls); inside = 1; next
}
inside && /^ *[0-9]+ \| / {
    slot = $1; text = $0; sub(/^ *[0-9]+ \| /, "", text)
    if (text ~ /~.*\[scalar deleting\]/) name = "destroy"
    else { sub(/\(.*/, "", text); n = split(text, parts, "::"); name = parts[n] }
    print cls, slot, name; next
}
inside && /^$/ { inside = 0 }
' msvc.txt | sort -u -k1,1 -k2,2n >msvc-slots.txt

# The same from g++, read through the implementing classes; the first two
# entries of an Itanium table are the offset to top and the type information.
awk -v map="spoolex::mi=CMachineInterface spoolex::miex=CMachineInterfaceEx host::MachineServices=CMICallbacks host::MemoryInput=CMachineDataInput host::MemoryOutput=CMachineDataOutput" '
BEGIN { n = split(map, pairs, " "); for (i = 1; i <= n; ++i) { split(pairs[i], kv, "="); as[kv[1]] = kv[2] } }
/^Vtable for / { cls = ($3 in as) ? as[$3] : ""; index_ = -1; next }
cls != "" && /^[0-9]+ +\(int \(\*\)\(\.\.\.\)\)/ {
    ++index_
    if (index_ < 2) next
    text = $0; sub(/^[0-9]+ +\(int \(\*\)\(\.\.\.\)\)/, "", text)
    k = split(text, parts, "::"); print cls, index_ - 2, parts[k]; next
}
/^$/ { cls = "" }
' mingw.txt | sort -u -k1,1 -k2,2n >mingw-slots.txt

status=0
for cls in CMachineInterface CMachineInterfaceEx CMICallbacks CMachineDataInput CMachineDataOutput; do
    grep "^$cls " msvc-slots.txt >"msvc-$cls.txt" || true
    # Our implementing classes may add operations after the host's slots.
    count=$(wc -l <"msvc-$cls.txt")
    grep "^$cls " mingw-slots.txt | head -n "$count" >"mingw-$cls.txt" || true
    if [ "$count" -eq 0 ]; then
        echo "$cls: no table from clang"
        status=1
    elif ! diff -u "msvc-$cls.txt" "mingw-$cls.txt" >"diff-$cls.txt"; then
        echo "$cls: slots differ (MSVC view -, ours +):"
        cat "diff-$cls.txt"
        status=1
    else
        echo "$cls: $count slots agree"
    fi
done
exit "$status"
