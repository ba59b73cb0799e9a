#!/bin/sh
# run_ini_fuzz.sh - builds the INI loader fuzz target with clang and runs it for a bounded time
# from the seed corpus. Usage: fuzz/run_ini_fuzz.sh [build-dir] [seconds]
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-"$source_dir/build-fuzz"}
seconds=${2:-60}

cmake -S "$source_dir" -B "$build_dir" -DQNT_FUZZ=ON -DQNT_BUILD_TESTS=OFF \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target ini_loader_fuzz -j2 >/dev/null

# New inputs go to a scratch corpus; the seeds in the tree are only read.
work_corpus="$build_dir/ini_corpus"
mkdir -p "$work_corpus"
# The fuzzer's progress goes to a log: its last lines on success, all of it on a finding.
log="$build_dir/ini_fuzz.log"
if "$build_dir/fuzz/ini_loader_fuzz" -max_total_time="$seconds" -max_len=4096 \
  "$work_corpus" "$source_dir/fuzz/corpus/ini" >"$log" 2>&1; then
  tail -n 3 "$log"
else
  status=$?
  cat "$log"
  exit "$status"
fi
