#!/usr/bin/env bash
# Installs what is missing, builds Zintar twice (plain, and with AddressSanitizer +
# UBSan) and runs the whole test suite in both builds. The tests of the real program
# (label e2e) run under Xvfb in the plain build. Then each libFuzzer target runs 20 s.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DZINTAR_SANITIZE=ON -DZINTAR_BENCH=OFF

status=0
echo "== tests (plain build)"
# A test that fails is run once more: one e2e start of the clock in about four runs on a
# loaded 2-core machine has shown no window within its 20 s (being looked into); a fault
# fails both runs.
ctest --test-dir build --output-on-failure --repeat until-pass:2 || status=1
echo "== tests (AddressSanitizer + UBSan build)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
    ctest --test-dir build-asan --output-on-failure -LE e2e || status=1
echo "== fuzzing the file readers (20 s a target)"
bash scripts/fuzz.sh 20 || status=1
exit $status
