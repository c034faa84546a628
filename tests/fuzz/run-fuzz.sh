#!/bin/sh
# Builds the fuzz targets with clang in build-fuzz and runs each for SECONDS from a scratch copy
# of its seed corpus. Usage: tests/fuzz/run-fuzz.sh SECONDS [TARGET...]
# Targets: settings language font tileset button map (all when none is named).
# Any allocation over 64 MiB, a crash, a leak, undefined behaviour or an input that runs over
# 60 seconds is a finding: the input is kept under build-fuzz/findings/ and the script fails.
# FUZZ_MAX_RUNS stops a target after that many inputs, if it comes before SECONDS.
#
# SPDX-License-Identifier: MIT
set -eu
cd "$(dirname "$0")/../.."
ROOT=$(pwd)

if [ $# -lt 1 ]; then
    echo "usage: $0 SECONDS [TARGET...]" >&2
    exit 2
fi
SECONDS_EACH=$1
shift
TARGETS=${*:-settings language font tileset button map}
BUILD="$ROOT/build-fuzz"

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    echo "== configuring $BUILD with clang"
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DTARVENLOFT_FUZZ=ON \
        -DTARVENLOFT_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
echo "== building the fuzz targets"
for t in $TARGETS; do
    cmake --build "$BUILD" -j"$(nproc)" --target "fuzz_$t" >"$BUILD/build-$t.log" 2>&1 || {
        cat "$BUILD/build-$t.log" >&2
        echo "FAILED: fuzz_$t did not build" >&2
        exit 1
    }
done

mkdir -p "$BUILD/findings" "$BUILD/fuzz-logs"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvenloft-fuzz-run-XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM

failed=""
for t in $TARGETS; do
    case $t in
        settings) dict=settings ;;
        language) dict=language ;;
        map) dict=map ;;
        *) dict=image ;;
    esac
    corpus="$WORK/$t"
    mkdir -p "$corpus"
    cp "$ROOT/tests/fuzz/corpus/$t/"* "$corpus/"
    log="$BUILD/fuzz-logs/$t.log"
    echo "== fuzz_$t: $SECONDS_EACH s from $(ls "$corpus" | wc -l) seeds"
    # The targets change into a scratch directory of their own, so every path given here is
    # absolute.
    rc=0
    "$BUILD/tests/fuzz/fuzz_$t" "$corpus" \
        -max_total_time="$SECONDS_EACH" -runs="${FUZZ_MAX_RUNS:--1}" \
        -rss_limit_mb=2048 -malloc_limit_mb=64 -timeout=60 \
        -dict="$ROOT/tests/fuzz/$dict.dict" \
        -artifact_prefix="$BUILD/findings/$t-" -print_final_stats=1 >"$log" 2>&1 || rc=$?
    last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
    execs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}' || true)
    speed=$(grep -E '^stat::average_exec_per_sec' "$log" | awk '{print $2}' || true)
    cov=$(echo "$last" | sed -n 's/.*cov: \([0-9]*\).*/\1/p')
    ft=$(echo "$last" | sed -n 's/.*ft: \([0-9]*\).*/\1/p')
    echo "   executions: ${execs:-?}  exec/s: ${speed:-?}  cov: ${cov:-?}  ft: ${ft:-?}"
    if [ "$rc" -ne 0 ]; then
        grep -E 'ERROR|SUMMARY|Test unit written' "$log" >&2 || true
        for f in $(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log"); do
            echo "   FINDING kept in $f" >&2
            echo "   reproduce with: $BUILD/tests/fuzz/fuzz_$t $f" >&2
        done
        echo "   FAILED: fuzz_$t stopped with exit code $rc (log: $log)" >&2
        failed="$failed $t"
    fi
done

if [ -n "$failed" ]; then
    echo "FUZZING FAILED:$failed" >&2
    exit 1
fi
echo "fuzzing passed: $TARGETS"
