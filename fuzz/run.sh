#!/bin/sh
# Runs one fuzzer built by build.sh: run.sh NAME [SECONDS], NAME one of texture, texture_file,
# heightmap, md2, input_script, run_options, profile, path, text, wsprintf, tree_mesh.
# The corpus grows in out/corpus/NAME; crashes, hangs (over a second) and reports land in
# out/artifacts/NAME.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
name=$1
seconds=${2:-240}
out=$here/out
mkdir -p "$out/artifacts/$name"
exec "$out/${name}_fuzzer" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$name/" "$out/corpus/$name"
