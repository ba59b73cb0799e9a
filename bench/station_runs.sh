# station_runs.sh - sourced by the benches of stations working side by side: K stations, each
# programming $boards boards in a row on its own adapter with "-w -i board.ini -s -t RECORD
# -l 1000fd", all from DIR/board.ini. The adapters run on the real clock and their link partner
# brings the link up 2 s after each restart, so a board costs a station about 2 s of waiting for
# the link; the EEPROM is blanked after each board so that the next run meets a new board. Needs
# $tool and $emu (bench/setup.sh) and $boards.

# One station: its boards one after the other. Fails on the first run that does not end with 0.
station() {
  local adapter=$1 dir=$2 record=$3
  for ((board = 1; board <= boards; board++)); do
    if ! (cd "$dir" && "$tool" -X "$adapter" -w -i board.ini -s -t "$record" -l 1000fd) \
      >>"$dir/station$adapter.log" 2>&1; then
      echo "station $adapter, board $board: the run failed:" >&2
      cat "$dir/station$adapter.log" >&2
      return 1
    fi
    "$emu" load eeprom /dev/null --adapter "$adapter" >/dev/null
  done
}

# K stations at once in DIR, on adapters of their own; prints the boards per hour they reached.
run_stations() {
  local k=$1 dir=$2 record=$3
  export QNT5200_EMU_DIR=$dir/adapters
  for ((adapter = 0; adapter < k; adapter++)); do
    "$emu" create --adapter "$adapter" --clock real >/dev/null
    "$emu" link --adapter "$adapter" --partner 1000fd --delay 2000 >/dev/null
  done
  local start end pids=() failed=0
  start=$(date +%s.%N)
  for ((adapter = 0; adapter < k; adapter++)); do
    station "$adapter" "$dir" "$record" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
  end=$(date +%s.%N)
  [ "$failed" -eq 0 ] || return 1
  awk -v k="$k" -v n="$boards" -v start="$start" -v end="$end" \
    'BEGIN { printf "%.0f\n", k * n / (end - start) * 3600 }'
}
