#!/usr/bin/env bash
# Builds the project and runs every test: the C++ suite through CTest, then the Python
# suite through pytest on Debian's /usr/bin/python3. Exits non-zero on any failure.
#
#   tools/run_tests.sh                  ordinary build in build/
#   tools/run_tests.sh --sanitize address   ASan+UBSan build in build-asan/
#   tools/run_tests.sh --sanitize thread    TSan build in build-tsan/ (C++ suite only)
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
sanitizer=""
if [ "${1:-}" = "--sanitize" ]; then sanitizer=${2:?address or thread}; fi

case "$sanitizer" in
  "") build=$root/build ;;
  address) build=$root/build-asan ;;
  thread) build=$root/build-tsan ;;
  *) echo "unknown sanitizer '$sanitizer'" >&2; exit 2 ;;
esac

"$root/tools/setup.sh" "$build" -DKORVANE_SANITIZER="$sanitizer" || exit 1

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}

status=0
echo "== C++ tests (ctest) =="
# Passing tests are summarised; failing ones print their whole output.
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" 2>&1 | grep -v -E '^ *([0-9]+/[0-9]+ Test +#[0-9]+: .* Passed|Start +[0-9]+: )'
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

if [ "$sanitizer" != "thread" ]; then
  echo "== Python tests (pytest) =="
  pyenv=(env "PYTHONPATH=$build/lib" "KORVANE_BUILD_DIR=$build")
  if [ "$sanitizer" = "address" ]; then
    # The interpreter itself is not instrumented: preload the runtimes and leave leak
    # checking to the C++ suite (CPython keeps objects alive until exit by design).
    pyenv+=("LD_PRELOAD=$(gcc -print-file-name=libasan.so):$(gcc -print-file-name=libubsan.so)"
            "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1")
  fi
  "${pyenv[@]}" /usr/bin/python3 -m pytest -q -p no:cacheprovider "$root/tests/python" </dev/null
  [ $? -eq 0 ] || status=1
fi

if [ $status -eq 0 ]; then echo "ALL TESTS PASSED"; else echo "TESTS FAILED"; fi
exit $status
