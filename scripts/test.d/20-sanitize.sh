# The library and every test again under AddressSanitizer and UndefinedBehaviorSanitizer (clang);
# the first report fails the run.
set -euo pipefail
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize -j "$(nproc)"
