#!/usr/bin/env bash
# Sets up, builds and runs every test: the normal build, then the Debian package
# made from it, then a build with AddressSanitizer and UndefinedBehaviorSanitizer,
# then the file-reader fuzzer for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/setup.sh

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

count() { grep -Eo 'tests failed out of [0-9]+' "$1" | grep -Eo '[0-9]+$' | tail -n 1; }

echo "== tests"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs") | tee build/ctest.log

echo "== Debian package"
bash scripts/package.sh
bash scripts/check-package.sh

echo "== sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# Leak checking is off: Qt, fontconfig and the platform plug-ins keep
# process-lifetime allocations that LeakSanitizer would report.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
(cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs") | tee build-asan/ctest.log

if [ -f fuzz/run.sh ]; then
    echo "== fuzzing the document reader"
    bash fuzz/run.sh "${TOLVANE_FUZZ_SECONDS:-60}"
fi

echo "== summary"
echo "tests: $(( $(count build/ctest.log) + $(count build-asan/ctest.log) )) passed, 0 failed"
