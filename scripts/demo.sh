#!/usr/bin/env bash
# Builds the utility and the emulator, creates an emulated adapter and runs a production job on
# it: generate the EEPROM image from examples/board.ini, program and verify the board, step the
# MAC address and serial number to the next board, then save the EEPROM and show its fields, and
# sum up the per-board record the runs kept.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh --build-only
# The README's release build, only the programs the demo runs.
cmake --preset release >/dev/null
cmake --build --preset release --target 5200WinCmd qnt5200-emu qnt5200-image qnt5200-record

tool=$root/build/release/src/5200WinCmd
emu=$root/build/release/emu/qnt5200-emu
image=$root/build/release/src/qnt5200-image
record=$root/build/release/src/qnt5200-record
demo=$root/build/demo
rm -rf "$demo"
mkdir -p "$demo/adapters"
export QNT5200_EMU_DIR=$demo/adapters
cp examples/board.ini "$demo/board.ini"
cd "$demo"

step() {
  printf '\n\033[1m$ %s\033[0m\n' "$*"
  "$@" || echo "(exit code $?)"
}

step "$emu" create --chip QNT5230 --eeprom-size 512
step "$tool" -R 0
step "$tool" -i board.ini -o image.bin -d QNT5230
step "$tool" -w -i board.ini -s -t boards.csv
step "$tool" -w -i board.ini -s -t boards.csv
step grep -nE '^(CurrentMacAddress|CurrentSerialNumber)' board.ini
step "$tool" -r -b saved.bin
step "$image" show saved.bin
step "$record" summary boards.csv --ini board.ini
step "$record" check boards.csv
