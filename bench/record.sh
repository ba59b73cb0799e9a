#!/usr/bin/env bash
# The per-board record at 1,000,000 lines: what a "-w -i board.ini -s -t rec.csv" run spends on
# the record (its time and peak memory less those of the same run without -t), and the time and
# peak memory of "qnt5200-record summary --json" and "qnt5200-record check". The record holds
# 500,000 boards of eight stations, each a reservation line and an outcome line, one in a hundred
# failed and programmed again; its MAC addresses and serial numbers lie below the INI file's.
# Targets: the run at most 1 s and 64 MB on the record, summary and check at most 3 s and 256 MB.
# RECORD_BENCH_BUILD=<build folder> measures the programs of another build (a build of an older
# commit, to compare).
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${LINES_IN_RECORD:-1000000}
runs=${RUNS:-5}
source bench/setup.sh
cmake --build --preset release --target qnt5200-record >/dev/null
record_tool=$PWD/build/release/src/qnt5200-record
if [ -n "${RECORD_BENCH_BUILD:-}" ]; then
  tool=$RECORD_BENCH_BUILD/src/5200WinCmd
  record_tool=$RECORD_BENCH_BUILD/src/qnt5200-record
fi

python3 - "$work/rec.csv" "$lines" <<'PY'
import sys
path, lines = sys.argv[1], int(sys.argv[2])
header = ("time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result,"
          "written,station,duration_ms,error,record_format,verified\n")
with open(path, "w") as out:
    out.write(header)
    written, board, second = 0, 0, 1767225600  # 2026-01-01T00:00:00Z
    while written < lines:
        mac = 0x001122000000 + board
        macs = ":".join(f"{mac >> shift & 0xFF:02X}" for shift in range(40, -8, -8))
        serial = f"{0xA00000000 + board:012X}"
        station = f"st{board % 8 + 1}"
        failed = board % 100 == 99 and written % 3 == 0
        time = f"2026-{1 + second // 2592000 % 12:02d}-{1 + second // 86400 % 28:02d}T" \
               f"{second // 3600 % 24:02d}:{second // 60 % 60:02d}:{second % 60:02d}Z"
        common = f"{time},{board % 4},qnt5230,eeprom,{macs},{serial},302,F081EEE6,board.ini,"
        out.write(common + f"reserved,no,{station},2100,,3,no\n")
        if failed:
            out.write(common + f"9,yes,{station},7400,E2P_READ_BLOCK failed!    status:Access failed,3,no\n")
        else:
            out.write(common + f"0,yes,{station},7400,,3,yes\n")
            board += 1
        written += 2
        second += 11
PY
echo "record: $(wc -l <"$work/rec.csv") lines, $(wc -c <"$work/rec.csv") bytes"
cp examples/board.ini "$work/board.ini"

# Prints the median processor time (user and system, s), the median wall time (s) and the largest
# peak resident size (kB) of |runs| runs. Processor time is what the targets count: on a shared
# machine the wall time also holds the other processes' turns.
measure() {
  local cpu=() wall=() peak=0 u s e m
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f "%U %S %e %M" -o "$work/time.txt" "$@" >/dev/null 2>&1 ||
      { echo "failed: $*" >&2; return 1; }
    read -r u s e m < <(tail -1 "$work/time.txt")
    cpu+=("$(awk -v u="$u" -v s="$s" 'BEGIN { print u + s }')")
    wall+=("$e")
    [ "$m" -gt "$peak" ] && peak=$m
  done
  echo "$(median "${cpu[@]}") $(median "${wall[@]}") $peak"
}

median() { printf '%s\n' "$@" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

cd "$work"
read -r plain_cpu plain_wall plain_kb < <(measure "$tool" -w -i board.ini -s)
read -r record_cpu record_wall record_kb < <(measure "$tool" -w -i board.ini -s -t rec.csv)
tail -1 rec.csv | grep -q ',0,yes,' || { echo "the run with -t did not program its board"; exit 1; }
read -r summary_cpu summary_wall summary_kb < <(measure "$record_tool" summary rec.csv --json)
read -r check_cpu check_wall check_kb < <(measure "$record_tool" check rec.csv)
python3 - "$plain_cpu" "$plain_wall" "$plain_kb" "$record_cpu" "$record_wall" "$record_kb" \
  "$summary_cpu" "$summary_wall" "$summary_kb" "$check_cpu" "$check_wall" "$check_kb" <<'PY'
import sys
v = list(map(float, sys.argv[1:]))
plain, record, summary, check = v[0:3], v[3:6], v[6:9], v[9:12]
def row(name, cpu, wall, kb, max_s, max_mb, note=""):
    ok = "ok" if cpu <= max_s and kb / 1024 <= max_mb else "OVER TARGET"
    print(f"{name}: {cpu:.2f} s of processor time ({wall:.2f} s wall), {kb / 1024:.1f} MB{note} "
          f"(target <= {max_s:g} s, {max_mb} MB): {ok}")
print(f"-w -i board.ini -s without -t: {plain[0]:.2f} s of processor time ({plain[1]:.2f} s wall), "
      f"{plain[2] / 1024:.1f} MB")
row("-w -t, on the record", record[0] - plain[0], record[1] - plain[1], record[2] - plain[2], 1, 64,
    f" (the whole run: {record[0]:.2f} s, {record[2] / 1024:.1f} MB)")
row("qnt5200-record summary --json", *summary, 3, 256)
row("qnt5200-record check", *check, 3, 256)
PY
