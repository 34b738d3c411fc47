#!/bin/sh
# Sorts the X fuzzer's crash artifacts: a crash whose first frame lies in libassimp is assimp's
# (in the programs the file is read in a child process, and such a file just fails to load);
# any other is a finding in our code and is listed.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
assimp=0
ours=0
for crash in "$here"/out/artifacts/x_mesh/crash-*; do
    [ -e "$crash" ] || continue
    first=$(ASAN_OPTIONS=alloc_dealloc_mismatch=0:detect_leaks=0 "$here/out/x_mesh_fuzzer" -detect_leaks=0 "$crash" 2>&1 |
            grep -m1 "#0 " || true)
    case "$first" in
        *libassimp*) assimp=$((assimp + 1)) ;;
        *) ours=$((ours + 1)); echo "ours: $crash: $first" ;;
    esac
done
echo "crashes inside assimp: $assimp; elsewhere: $ours"
