#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each for the given seconds
# (default 20) from the seed corpus in tests/fuzz/corpus. New inputs found go to a scratch
# copy, not into the repository. A longer hunt: scripts/fuzz.sh 600
# Prints the executions of each target; exits non-zero when a target found a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is not installed; skipping the fuzz run"
    exit 0
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZINTAR_FUZZ=ON -DZINTAR_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz_ini fuzz_settings fuzz_skins
work=$(mktemp -d)
# The targets' settings folders: in memory when there is a tmpfs.
scratch=$(mktemp -d -p "$( [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
trap 'rm -rf "$work" "$scratch"' EXIT
status=0
for target in ini settings skins; do
    mkdir -p "$work/$target"
    cp tests/fuzz/corpus/$target/* "$work/$target/"
    log="$work/$target.log"
    if (cd "$work" && ZINTAR_FUZZ_FOLDER="$scratch" ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
        "$OLDPWD/build-fuzz/bin/fuzz_$target" -max_total_time="$seconds" -max_len=65536 \
        -print_final_stats=1 "$work/$target" >"$log" 2>&1); then
        echo "fuzz: $target: $(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}') executions, no fault"
    else
        status=1
        echo "fuzz: $target FOUND A FAULT; the input is kept in $PWD/build-fuzz/crash-$target"
        mkdir -p "build-fuzz/crash-$target" && cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* \
            "build-fuzz/crash-$target/" 2>/dev/null || true
        tail -n 40 "$log"
    fi
done
exit $status
