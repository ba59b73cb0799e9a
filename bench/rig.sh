#!/usr/bin/env bash
# A fixture of eight slots in one command against one slot: qnt5200-rig runs
# "-w -i board.ini -s -t rec.csv -l 1000fd" on adapter 0 alone, then on adapters 0 to 7 at once.
# The adapters run on the real clock and their link partner brings the link up 2 s after each
# restart (as bench/stations.sh sets them up), so each run waits on the device most of its time.
# Targets: eight slots in at most 1.25 times one slot's time, and at most 8 MB of memory for the
# rig itself (its peak resident set, VmHWM, read while it runs; its runs are other processes).
# Every slot must end with 0 and the record must hold nine programmed boards, each with a MAC
# address of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/setup.sh
cmake --build --preset release --target qnt5200-rig >/dev/null
rig=$PWD/build/release/src/qnt5200-rig

dir=$work/rig
mkdir -p "$dir"
cp examples/board.ini "$dir/board.ini"
export QNT5200_EMU_DIR=$dir/adapters
for adapter in 0 1 2 3 4 5 6 7; do
  "$emu" create --adapter "$adapter" --clock real >/dev/null
  "$emu" link --adapter "$adapter" --partner 1000fd --delay 2000 >/dev/null
done

# Runs the rig on |adapters|; prints its wall time in seconds and its peak memory in kB.
run_rig() {
  local adapters=$1 start end peak=0 hwm pid
  start=$(date +%s.%N)
  (cd "$dir" && exec "$rig" -X "$adapters" -- -w -i board.ini -s -t rec.csv -l 1000fd) \
    >"$dir/rig-$adapters.txt" 2>&1 &
  pid=$!
  while [ -e "/proc/$pid/status" ]; do
    hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
    [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
    sleep 0.05
  done
  if ! wait "$pid"; then
    echo "the rig on $adapters failed:" >&2
    cat "$dir/rig-$adapters.txt" >&2
    return 1
  fi
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" -v p="$peak" 'BEGIN { printf "%.2f %d\n", e - s, p }'
}

read -r one one_kb < <(run_rig 0)
for adapter in 0 1 2 3 4 5 6 7; do "$emu" load eeprom /dev/null --adapter "$adapter" >/dev/null; done
read -r eight eight_kb < <(run_rig 0-7)

awk -F, 'NR > 1 && $10 == "0" { done++; if (seen[$5]++) { print $5 " on two boards"; bad = 1 } }
         END { if (done != 9) { print done " boards recorded, 9 programmed"; bad = 1 }
               exit bad }' "$dir/rec.csv" >&2
echo "one slot: ${one} s, the rig's peak memory ${one_kb} kB"
echo "eight slots: ${eight} s, the rig's peak memory ${eight_kb} kB"
python3 - "$one" "$eight" "$eight_kb" <<'PY'
import sys
one, eight, kb = float(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3])
ratio = eight / one
time_ok = ratio <= 1.25
memory_ok = kb <= 8 * 1024
print(f"ratio eight / one: {ratio:.2f} (target <= 1.25) {'ok' if time_ok else 'OVER TARGET'}")
print(f"rig memory: {kb / 1024:.1f} MB (target <= 8 MB) {'ok' if memory_ok else 'OVER TARGET'}")
sys.exit(0 if time_ok and memory_ok else 1)
PY
