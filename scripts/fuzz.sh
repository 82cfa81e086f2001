#!/usr/bin/env bash
# Runs each fuzz target for a while (default 60 s each) from its committed seeds, and reports
# executions and crashes. Not part of the tests. Usage: bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

bash scripts/install-deps.sh clang-14 libclang-rt-14-dev
mkdir -p build-fuzz
CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMERE_FUZZ=ON \
    -DQUILLMERE_SANITIZE=ON > build-fuzz/configure.log
cmake --build build-fuzz

printf '%-14s %14s %8s\n' target executions crashes
for target in list_reader navigate_address notice_line text_decoder swf_reader swf_player avm1 swf_render; do
    work=$(mktemp -d)
    case $target in swf_*) seeds=swf_reader ;; *) seeds=$target ;; esac # the SWF targets share the reader's movies
    cp fuzz/corpus/$seeds/* "$work"/
    case $target in swf_*) cp demo/prx/banner.swf "$work"/ ;; esac # a movie that uses most of what we draw
    log=$PWD/build-fuzz/fuzz_$target.log
    # fontconfig keeps what it loads for the process's life, which the leak check would report.
    leaks=$([ $target = swf_render ] && echo 0 || echo 1)
    ASAN_OPTIONS=detect_leaks=$leaks build-fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 \
        -artifact_prefix="build-fuzz/fuzz_$target-" "$work" > "$log" 2>&1 || true
    runs=$(grep -oP 'stat::number_of_executed_units:\s*\K\d+' "$log" || echo "?")
    crashes=$(find build-fuzz -maxdepth 1 -name "fuzz_$target-*" | wc -l)
    printf '%-14s %14s %8s\n' "$target" "$runs" "$crashes"
    rm -rf "$work"
done
