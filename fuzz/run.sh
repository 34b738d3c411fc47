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
exec "$out/${name}_fuzzer" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$name/" "$out/corpus/$name"
