#!/usr/bin/env bash
# Runs the Windows build under Wine and compares what it prints, and its exit code, with the
# Linux build's: help, a command-line error, and a machine without the controller's driver; then
# the Windows test build (5200WinCmd-emu.exe, in the build directory above WINDOWS_EXE) on an
# emulated adapter whose clock is virtual, beside the Linux build on one set up the same way: a
# link that comes up 2.5 s after a restart is seen up only when the sleeps move that clock; then
# qnt5200-image (found beside each program) on image files the Linux build generates, and
# qnt5200-record on a record written here, and the rig's test build (qnt5200-rig-emu.exe) beside
# the Linux rig, each running its own build of the utility.
# Usage: smoke.sh WINDOWS_EXE LINUX_BINARY
set -uo pipefail
windows_exe=$(realpath "$1")
linux_binary=$(realpath "$2")
example_ini=$(realpath "$(dirname "$0")/../../examples/board.ini")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all WINEPREFIX="$work/wine"
export QNT5200_EMU_DIR="$work/no-adapters"
linux_adapters=$QNT5200_EMU_DIR windows_adapters=$QNT5200_EMU_DIR

# The program name in the usage lines, Windows line ends, the build line and the commit (the two
# builds may be of different checkouts) differ by nature. A message ending in a carriage return
# after its line feed gains a second one before its next line feed on Windows, so every carriage
# return at a line's end goes.
normalize() {
  sed -e 's/\r*$//' -e 's/^Usage: [^ ]* /Usage: PROGRAM /' \
      -e 's/ (Built at .* on .*)$/ (Built at TIME on DATE)/' -e 's/ (commit [^)]*)$/ (commit C)/' \
      -e 's/rig-[0-9-]*/rig-TIME/' -e 's/[0-9]*\.[0-9] s/T s/g'
}

failures=0
checks=0
check() {
  local name=$1
  shift
  local linux_out windows_out linux_code windows_code
  linux_out=$(QNT5200_EMU_DIR=$linux_adapters "$linux_binary" "$@" </dev/null 2>/dev/null |
    normalize)
  linux_code=${PIPESTATUS[0]}
  windows_out=$(QNT5200_EMU_DIR=$windows_adapters wine "$windows_exe" "$@" </dev/null 2>/dev/null |
    normalize)
  windows_code=${PIPESTATUS[0]}
  checks=$((checks + 1))
  if [ "$linux_out" != "$windows_out" ] || [ "$linux_code" != "$windows_code" ]; then
    echo "FAIL: $name (Linux exit $linux_code, Windows exit $windows_code)"
    diff <(echo "$linux_out") <(echo "$windows_out")
    failures=$((failures + 1))
  else
    echo "ok: $name (exit $windows_code)"
  fi
}

wineboot --init >/dev/null 2>&1 || true
check "help" -h
check "long help" --help
check "version" --version
check "parse error" -w
check "no operation" 
check "bad hexadecimal" -R 12_34
check "no driver" -R 0
check "no driver, adapter 1" -X 1 -G v
# Without the driver, standard error says what Windows needs: the driver, and administrator rights.
checks=$((checks + 1))
hint=$(wine "$windows_exe" -R 0 </dev/null 2>&1 >/dev/null)
if [[ $hint == *"driver must be installed"*"run as administrator"* ]]; then
  echo "ok: no driver, the hint on standard error"
else
  echo "FAIL: no driver, the hint on standard error: $hint"
  failures=$((failures + 1))
fi
# The user-file service: an image file that is the INI file itself is refused, in any spelling.
cp "$(dirname "$0")/../../examples/board.ini" "$work/board.ini"
check "image over its ini file" -i "$work/board.ini" -o "$work/./board.ini" -d QNT5230
check "offline generation" -i "$work/board.ini" -o "$work/image.bin" -d QNT5230

# The device cases: each build on its own adapters (the emulator tool of the Linux build, in the
# build directory above LINUX_BINARY, sets up both alike), so that each run finds what the same
# runs before it left.
emu_exe=$(realpath "$(dirname "$windows_exe")/../5200WinCmd-emu.exe")
emu_tool=$(realpath "$(dirname "$linux_binary")/../emu/qnt5200-emu")
both_emu() {
  QNT5200_EMU_DIR="$work/linux-adapters" "$emu_tool" "$@" >/dev/null &&
    QNT5200_EMU_DIR="$work/windows-adapters" "$emu_tool" "$@" >/dev/null
}
check_device() {
  local windows_exe=$emu_exe linux_adapters="$work/linux-adapters"
  local windows_adapters="$work/windows-adapters"
  check "$@"
}
both_emu create --chip QNT5230 --clock virtual || exit 1
both_emu link --partner 1000fd,100fd,100hd,10fd,10hd --delay 2500 || exit 1
both_emu cable --pair B --status open --data 100 || exit 1
both_emu net --address none || exit 1
check_device "register" -R 0
check_device "link mode" -l 100fd
check_device "ping without an address" -p 192.0.2.1
check_device "loopback without an address" -L
check_device "loopback at 100fd without an address" -L -l 100fd
check_device "cable test" -V
check_device "link state down" -k d
check_device "link state up" -k u
check_device "link mode again" -l 1000fd

# qnt5200-image, run in the work directory so that both builds print the same file names.
windows_exe=$(dirname "$windows_exe")/qnt5200-image.exe
image_linux=$(dirname "$linux_binary")/qnt5200-image
cd "$work"
sed 's/^CurrentMacAddress = .*/CurrentMacAddress = 00:11:22:33:44:56/' "$example_ini" >second.ini
"$linux_binary" -i "$example_ini" -o first.bin -d QNT5230 >/dev/null
"$linux_binary" -i second.ini -o second.bin -d QNT5230 >/dev/null
linux_binary=$image_linux
check "image tool help" --help
check "image tool version" --version
check "image tool, bad command line" show
check "image tool show" show first.bin
check "image tool diff" diff first.bin second.bin
check "image tool ini" ini second.bin
check "image tool, no image" show second.ini

# qnt5200-record on a record of two runs, one of which died after its reservation.
windows_exe=$(dirname "$windows_exe")/qnt5200-record.exe
linux_binary=$(dirname "$image_linux")/qnt5200-record
printf '%s\n' "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result" \
  "2026-03-01T08:00:00Z,0,qnt5230,eeprom,00:11:22:33:44:55,0001,302,0,board.ini,0" \
  "2026-03-01T08:05:00Z,0,qnt5230,eeprom,00:11:22:33:44:56,0002,302,0,board.ini,reserved,no,st,0,,2" \
  >boards.csv
check "record tool help" --help
check "record tool summary" summary boards.csv --ini "$work/board.ini"
check "record tool check" check boards.csv --json

# qnt5200-rig on the device cases' adapter and one the driver does not serve: its Windows test
# build runs 5200WinCmd-emu.exe beside it, the Linux rig the Linux utility.
# (check_device would run the utility's test build, so the adapters are named here.)
windows_exe=$(dirname "$emu_exe")/qnt5200-rig-emu.exe
linux_binary=$(dirname "$image_linux")/qnt5200-rig
linux_adapters="$work/linux-adapters" windows_adapters="$work/windows-adapters" \
  check "rig" -X 0,3 -- -R 0

passed=$((checks - failures))
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
