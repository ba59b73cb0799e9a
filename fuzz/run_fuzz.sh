#!/bin/sh
# run_fuzz.sh - builds the fuzz targets with clang and runs each from its seed corpus, the time
# budget shared between them. Usage: fuzz/run_fuzz.sh [build-dir] [total-seconds]
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-"$source_dir/build-fuzz"}
seconds=${2:-60}
targets="ini_loader_fuzz image_patch_fuzz image_decode_fuzz record_reader_fuzz connection_text_fuzz"
count=$(echo $targets | wc -w)
share=$((seconds / count))
[ "$share" -ge 1 ] || share=1

cmake -S "$source_dir" -B "$build_dir" -DQNT_FUZZ=ON -DQNT_BUILD_TESTS=OFF \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target $targets -j2 >/dev/null

for target in $targets; do
  echo "-- $target (${share} s)"
  # New inputs go to a scratch corpus; the seeds in the tree are only read.
  work_corpus="$build_dir/corpus/$target"
  mkdir -p "$work_corpus"
  # The fuzzer's progress goes to a log: its last lines on success, all of it on a finding.
  log="$build_dir/$target.log"
  if "$build_dir/fuzz/$target" -max_total_time="$share" -max_len=4096 \
    "$work_corpus" "$source_dir/fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 3 "$log"
  else
    status=$?
    cat "$log"
    exit "$status"
  fi
done
