#!/usr/bin/env bash
# The packages hold the programs and the documentation, and nothing else: each archive's listing
# is compared with the files it must hold. The Windows programs in the ZIP, and the Windows test
# build, must carry their version resource (the project's version, as CMake has it) and their
# manifest's execution level.
# Usage: check-packages.sh, after the package target of the release and the windows presets.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
examples=$(cd examples && find . -type f | sed 's|^\./||' | sort)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAIL: $*"
  failed=$((failed + 1))
}

# |archive| holds exactly the files named on standard input, below its one top folder.
check_listing() {
  local archive=$1 top
  top=$(basename "$archive" | sed -E 's/\.(tar\.gz|zip)$//')
  sed "s|^|$top/|" | sort >"$work/expected"
  cmake -E tar tf "$archive" | grep -v '/$' | sort >"$work/listed"
  if diff "$work/expected" "$work/listed"; then
    echo "ok: $archive"
  else
    fail "$archive does not hold what it should (< expected, > in the archive)"
  fi
}

# The version resource's strings are UTF-16, each name followed by its value; the manifest is
# plain text.
check_resources() {
  local exe=$1 program=$2 level=$3 failed_before=$failed name expected value
  for name in ProductName FileVersion ProductVersion OriginalFilename; do
    case $name in
      ProductName) expected=5200WinCmd ;;
      OriginalFilename) expected=$program.exe ;;
      *) expected=$version ;;
    esac
    value=$(strings -el "$exe" | grep -A1 -x "$name" | sed -n 2p)
    [ "$value" = "$expected" ] || fail "$exe: version resource $name is \"$value\", not \"$expected\""
  done
  grep -qa "<requestedExecutionLevel level=\"$level\"" "$exe" ||
    fail "$exe: no manifest asking for $level"
  x86_64-w64-mingw32-objdump -p "$exe" | grep -q 'Entry: ID: 0x000018' ||
    fail "$exe: no manifest resource"
  [ "$failed" -ne "$failed_before" ] || echo "ok: resources of $exe"
}

linux=build/release/packages/5200WinCmd-$version-linux-$(uname -m).tar.gz
check_listing "$linux" <<EOF
bin/5200WinCmd
bin/qnt5200-emu
bin/qnt5200-image
bin/qnt5200-record
bin/qnt5200-rig
share/doc/5200WinCmd/README.md
share/doc/5200WinCmd/emu/README.md
$(sed 's|^|share/doc/5200WinCmd/examples/|' <<<"$examples")
EOF

windows=build/windows/packages/5200WinCmd-$version-windows-x86_64.zip
check_listing "$windows" <<EOF
5200WinCmd.exe
qnt5200-image.exe
qnt5200-record.exe
qnt5200-rig.exe
README.md
QUICKSTART-WINDOWS.txt
$(sed 's|^|examples/|' <<<"$examples")
EOF

(cd "$work" && cmake -E tar xf "$OLDPWD/$windows")
unpacked=$work/$(basename "$windows" .zip)
check_resources "$unpacked/5200WinCmd.exe" 5200WinCmd requireAdministrator
check_resources "$unpacked/qnt5200-image.exe" qnt5200-image asInvoker
check_resources "$unpacked/qnt5200-record.exe" qnt5200-record asInvoker
check_resources "$unpacked/qnt5200-rig.exe" qnt5200-rig requireAdministrator
check_resources build/windows/5200WinCmd-emu.exe 5200WinCmd-emu requireAdministrator
[ "$failed" -eq 0 ]
