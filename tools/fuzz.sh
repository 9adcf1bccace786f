#!/usr/bin/env bash
# Builds one fuzz target with libFuzzer and runs a campaign from its seed corpus.
#
#   tools/fuzz.sh TARGET SECONDS [LIBFUZZER_ARGS...]
#
# TARGET is a fuzz/fuzz_TARGET.cpp (e.g. scenario, arc1, jpeg); SECONDS is the campaign's
# length. The build goes into build-fuzz/ (clang, sanitizers, -j2). The seeds in
# fuzz/corpus/TARGET are read but never written: what the campaign learns goes to
# build-fuzz/corpus/TARGET, kept between runs, and crashes, leaks and hangs to
# build-fuzz/crashes/TARGET/. Each of those belongs, under a name saying what it does, in
# tests/data/crashes/TARGET/, where the replay tests run it.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -lt 2 || ! $2 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 TARGET SECONDS [LIBFUZZER_ARGS...]" >&2
  echo "targets: $(cd fuzz && ls fuzz_*.cpp | sed 's/^fuzz_//; s/\.cpp$//' | tr '\n' ' ')" >&2
  exit 2
fi
target=${1#fuzz_}
seconds=$2
shift 2
if [[ ! -f fuzz/fuzz_$target.cpp ]]; then
  echo "$0: no fuzz target fuzz/fuzz_$target.cpp" >&2
  exit 2
fi

build=build-fuzz
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-$(command -v ccache || true)}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DORVANE_FUZZ=ON -DORVANE_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target "fuzz_$target"

# The system libraries' process-wide allocations are not leaks of ours; any undefined
# behaviour ends the run like a crash does.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

corpus=$build/corpus/$target
crashes=$build/crashes/$target
mkdir -p "$corpus" "$crashes"
seeds=()
[[ -d fuzz/corpus/$target ]] && seeds+=("fuzz/corpus/$target")
# Run options: a time limit per input, then the target's dictionary and its own options
# (fuzz/fuzz_TARGET.options, "name = value" lines under [libfuzzer]).
options=(-timeout=10)
[[ -f fuzz/fuzz_$target.dict ]] && options+=("-dict=fuzz/fuzz_$target.dict")
if [[ -f fuzz/fuzz_$target.options ]]; then
  while IFS='=' read -r name value; do
    name=${name//[[:space:]]/}
    value=${value//[[:space:]]/}
    [[ -z $name || $name == \#* || $name == \[* ]] && continue
    options+=("-$name=$value")
  done < "fuzz/fuzz_$target.options"
fi

status=0
"$build/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$crashes/" \
  "${options[@]}" "$@" "$corpus" "${seeds[@]}" || status=$?
if [[ -n $(ls -A "$crashes") ]]; then
  echo "$0: findings in $crashes/ (replay one with $build/fuzz/fuzz_$target FILE):" >&2
  ls -l "$crashes" >&2
fi
exit $status
