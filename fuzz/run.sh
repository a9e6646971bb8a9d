#!/bin/sh
# Runs every fuzz target of the fuzz build for SECONDS each, starting from the
# seed corpus in fuzz/corpus/<target>/. Fails on any crash, leak, broken
# invariant or time-out. The build directory is $OVPAGER_FUZZ_BUILD
# (default build-fuzz, under the source root); make it with
#   cmake -S . -B build-fuzz -DOVPAGER_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
#   cmake --build build-fuzz --target fuzz
set -u
seconds=${1:?usage: fuzz/run.sh SECONDS}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OVPAGER_FUZZ_BUILD:-$root/build-fuzz}
case $build in /*) ;; *) build=$root/$build ;; esac
[ -d "$build/fuzz" ] || { echo "no fuzz build in $build" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=0
ran=0
for target in "$build"/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=$work/$name
    mkdir -p "$corpus"
    [ -d "$root/fuzz/corpus/$name" ] && cp "$root/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null
    ran=$((ran + 1))
    if "$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$work/$name-" "$corpus" >"$work/$name.log" 2>&1; then
        echo "$name: ok ($(grep -o 'stat::number_of_executed_units: [0-9]*' "$work/$name.log" |
            grep -o '[0-9]*$') runs)"
    else
        echo "$name: FAILED" >&2
        tail -40 "$work/$name.log" >&2
        for a in "$work/$name"-*; do
            [ -f "$a" ] && cp "$a" "$root/fuzz/" && echo "  input kept as fuzz/$(basename "$a")" >&2
        done
        failed=1
    fi
done
[ "$ran" -gt 0 ] || { echo "no fuzz targets in $build/fuzz" >&2; exit 2; }
exit $failed
