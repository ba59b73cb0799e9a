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

echo "== requests per operation"
count() {
  "$emu" log --clear >/dev/null
  "$tool" "$@" >/dev/null 2>&1 || true
  printf '%-28s %s\n' "$*" "$("$emu" log | grep -c '^cmd=')"
}
count -R 0
count -W 10 -v 1
count -y 1
count -Y 0 -v 1140
count -e 0
count -E 4 -v 7
count -j 1
count -J 1 -v 2
count -G v
count -G e
count -k u
count -r -b "$work/saved.bin"
