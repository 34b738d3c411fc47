#!/bin/sh
# Runs one fuzzer built by build.sh: run.sh texture|heightmap|md2|bsp|x_mesh|input_script|run_options [SECONDS].
# The corpus grows in out/corpus/NAME; crashes, hangs (over a second) and reports land in
# out/artifacts/NAME.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
name=$1
seconds=${2:-240}
out=$here/out
mkdir -p "$out/artifacts/$name"
export LSAN_OPTIONS="suppressions=$here/assimp.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# The X reader runs in-process under the fuzzer; an allocation past 256 MB fails as it would
# under the child process's memory limit.
if [ "$name" = x_mesh ]; then
    export ASAN_OPTIONS="allocator_may_return_null=1:max_allocation_size_mb=256${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
fi
exec "$out/${name}_fuzzer" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$name/" "$out/corpus/$name"
