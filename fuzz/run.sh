#!/bin/sh
# Fuzzes one target of a fuzz build (cmake --preset fuzz && cmake --build --preset fuzz):
#   run.sh NAME [SECONDS] [BUILD] [SCRATCH]
# NAME is one of fuzz/fuzzers.cmake, BUILD the fuzz build folder (default build-fuzz; the
# ordinary build makes one in build/fuzz-build). The corpus grows in BUILD/corpus/NAME from
# its seeds; crashes, hangs and reports land in BUILD/artifacts/NAME. With SCRATCH, new
# inputs go to that folder (emptied first) and the corpus is only read: CTest's quick run.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
name=$1
seconds=${2:-240}
build=${3:-$here/../build-fuzz}
corpus=$build/corpus/$name
# A run over a second is a hang when fuzzing alone; beside other tests, allow more.
timeout=1
if [ $# -ge 4 ]; then
    rm -rf "$4" && mkdir -p "$4"
    set -- "$4" "$corpus"
    timeout=20
else
    set -- "$corpus"
fi
mkdir -p "$build/artifacts/$name"
export LSAN_OPTIONS="suppressions=$here/../scripts/lsan-suppressions.txt:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
exec "$build/fuzz/${name}_fuzzer" -max_total_time="$seconds" -timeout=$timeout -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$name/" "$@"
