#!/bin/sh
# Runs tests again and again, to catch a test that fails only now and then.
#
#   tests/repeat-check.sh window RUNS         the real-window tests RUNS times (build/ must be built)
#   tests/repeat-check.sh suite RUNS [--busy] ./run-tests.sh RUNS times; with --busy, while two busy
#                                             loops at the lowest priority keep both cores loaded
#
# Every run is kept in build/repeat-check/RUN.log. Prints one line a run and a tally; exits 1
# when any run failed.
#
# SPDX-License-Identifier: MIT
set -u
cd "$(dirname "$0")/.."
ROOT=$(pwd)
what=${1:-}
runs=${2:-}
busy=${3:-}
case "$what:$runs" in
    window:[0-9]* | suite:[0-9]*) ;;
    *) echo "usage: $0 window RUNS | suite RUNS [--busy]" >&2; exit 2 ;;
esac
LOGS="$ROOT/build/repeat-check"
mkdir -p "$LOGS"

loops=""
stop_loops() {
    for pid in $loops; do kill "$pid" 2>/dev/null; done
}
trap stop_loops EXIT INT TERM
if [ "$busy" = "--busy" ]; then
    for _ in 1 2; do
        nice -n 19 sh -c 'while :; do :; done' &
        loops="$loops $!"
    done
fi

passed=0
i=1
while [ "$i" -le "$runs" ]; do
    start=$(date +%s)
    if [ "$what" = window ]; then
        (cd "$ROOT/build" && ctest -L window -j2 --output-on-failure) >"$LOGS/$i.log" 2>&1
    else
        "$ROOT/run-tests.sh" >"$LOGS/$i.log" 2>&1
    fi
    status=$?
    took=$(($(date +%s) - start))
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
        echo "run $i: passed in ${took} s"
    else
        echo "run $i: FAILED in ${took} s: $(grep -E '\(Failed\)|\*\*\*' "$LOGS/$i.log" | tr -s ' ' | tr '\n' ';')"
    fi
    i=$((i + 1))
done
echo "$passed of $runs runs passed (logs in $LOGS)"
[ "$passed" -eq "$runs" ]
