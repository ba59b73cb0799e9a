#!/usr/bin/env bash
# Program cost per request of the PHY microcontroller download: a reset-load-verify run (-m reset)
# of a 16 KiB firmware image against an emulated adapter, output to /dev/null, request log on.
# Prints the whole-run time divided by the requests the run sent.
# Target: under 1 microsecond per request on average.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-20}
source bench/setup.sh
head -c 16384 /dev/urandom >"$work/fw.bin"

# One run first: it checks the image landed and counts the requests.
"$emu" log --clear >/dev/null
"$tool" -f "$work/fw.bin" -m reset >/dev/null
requests=$("$emu" log | grep -c '^cmd=')
"$emu" dump prog | cmp -s - "$work/fw.bin" || { echo "program memory does not hold the image"; exit 1; }

"$emu" log --clear >/dev/null
python3 - "$tool" "$work/fw.bin" "$runs" "$requests" <<'PY'
import resource, subprocess, sys, time
tool, image, runs, requests = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
start = time.perf_counter()
for _ in range(runs):
    subprocess.run([tool, "-f", image, "-m", "reset"], stdout=subprocess.DEVNULL, check=True)
wall = (time.perf_counter() - start) / runs
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
cpu = (usage.ru_utime + usage.ru_stime) / runs
for name, seconds in (("wall", wall), ("cpu", cpu)):
    per_request = seconds / requests * 1e9
    verdict = "ok" if per_request < 1000 else "OVER TARGET"
    print(f"mode 14, 16 KiB image, {requests} requests: {name} {seconds * 1e3:.1f} ms a run, "
          f"{per_request:.0f} ns a request (target < 1000 ns): {verdict}")
PY
log_lines=$("$emu" log | grep -c '^cmd=')
[ "$log_lines" -eq $((requests * runs)) ] || { echo "request log has $log_lines lines"; exit 1; }
