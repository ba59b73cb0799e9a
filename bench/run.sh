#!/usr/bin/env bash
# Startup cost and request counts. Prints the whole-process time of "-R 0" against an emulated
# adapter next to a trivial process, and how many requests each operation sends.
# Target: a run takes at most 1.5 times /bin/true, and sends exactly the requests it must.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --build-only
command -v hyperfine >/dev/null || scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQNT_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" >/dev/null

tool=$PWD/build/release/src/5200WinCmd
emu=$PWD/build/release/emu/qnt5200-emu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QNT5200_EMU_DIR=$work/adapters
"$emu" create --chip QNT5230 >/dev/null

echo "== whole-process time"
hyperfine --warmup 20 --runs 300 -N --export-json "$work/times.json" \
  "/bin/true" "$tool -R 0" | grep -E 'Time|±|faster|true|5200WinCmd'
python3 - "$work/times.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
base, run = results[0]["mean"], results[1]["mean"]
print(f"ratio: {run / base:.2f} (target <= 1.5); /bin/true {base*1e3:.3f} ms, -R 0 {run*1e3:.3f} ms")
PY

echo "== requests per operation (the chip identification's READ_REGISTER included)"
mismatches=0
count() {
  local expected=$1
  shift
  "$emu" log --clear >/dev/null
  "$tool" "$@" >/dev/null 2>&1 || true
  local sent
  sent=$("$emu" log | grep -c '^cmd=')
  local verdict=ok
  if [ "$sent" != "$expected" ]; then
    verdict="MISMATCH (expected $expected)"
    mismatches=$((mismatches + 1))
  fi
  printf '%-24s %3s  %s\n' "$*" "$sent" "$verdict"
}
count 2 -R 0
count 3 -W 10 -v 1
count 2 -y 1
count 3 -Y 0 -v 1140
count 2 -e 0
count 3 -E 4 -v 7
count 2 -j 1
count 3 -J 1 -v 2
count 2 -G v
count 2 -G e
count 1 -G u
count 2 -k u
count 2 -r -b "$work/saved.bin"
count 5 -w -b "$work/saved.bin"
[ "$mismatches" -eq 0 ]
