#!/bin/sh
# Runs one fuzzer built by build.sh: run.sh NAME [SECONDS], NAME one of texture, texture_file,
# heightmap, md2, bsp, x_mesh, input_script, run_options, profile, path, text, wsprintf,
# tree_mesh.
# The corpus grows in out/corpus/NAME; crashes, hangs (over a second) and reports land in
# out/artifacts/NAME.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
name=$1
seconds=${2:-240}
out=$here/out
mkdir -p "$out/artifacts/$name"
extra=""
# The X fuzzer reads with assimp in its own process (the programs read in a child process).
# Its operator new (see x_mesh_fuzzer.cpp) pairs with free, not ASan's delete. assimp leaks
# the nodes of files it gives up on halfway, so the leak check is off. assimp also crashes on
# some files: the inputs run in jobs that carry on past a crash, and triage_x_mesh.sh then
# sorts the crashes into assimp's and ours.
if [ "$name" = x_mesh ]; then
    export ASAN_OPTIONS="alloc_dealloc_mismatch=0:detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
    extra="-fork=1 -ignore_crashes=1"
fi
exec "$out/${name}_fuzzer" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -print_final_stats=1 $extra \
    -artifact_prefix="$out/artifacts/$name/" "$out/corpus/$name"
