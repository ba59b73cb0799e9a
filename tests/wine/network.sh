#!/usr/bin/env bash
# Runs the Windows test build's ping under Wine on real sockets: in one network namespace a veth
# interface named QNT5230 (the controller's adapter as the IP Helper lists it), in a second one
# the peer. The emulated adapter has its link up. Root only; elsewhere it prints SKIPPED.
# Usage: network.sh WINDOWS_EMU_EXE EMU_TOOL
set -uo pipefail
exe=$(realpath "$1")
emu_tool=$(realpath "$2")

skip() {
  echo "SKIPPED: $1"
  exit 0
}
[ "$(id -u)" -eq 0 ] || skip "network namespaces need root"
command -v wine >/dev/null || skip "wine is not installed"
command -v ip >/dev/null || skip "ip (iproute2) is not installed"

host_ns="qnt-host-$$"
peer_ns="qnt-peer-$$"
work=$(mktemp -d)
cleanup() {
  ip netns del "$host_ns" 2>/dev/null
  ip netns del "$peer_ns" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

ip netns add "$host_ns" || skip "cannot create network namespaces here"
ip netns add "$peer_ns" || exit 1
set -e
ip link add QNT5230 netns "$host_ns" type veth peer name peer0 netns "$peer_ns"
ip -n "$host_ns" addr add 192.0.2.22/24 dev QNT5230
ip -n "$peer_ns" addr add 192.0.2.1/24 dev peer0
for ns in "$host_ns" "$peer_ns"; do ip -n "$ns" link set lo up; done
ip -n "$host_ns" link set QNT5230 up
ip -n "$peer_ns" link set peer0 up
set +e

export WINEDEBUG=-all WINEPREFIX="$work/wine" QNT5200_EMU_DIR="$work/emu"
"$emu_tool" create >/dev/null && "$emu_tool" link --partner 1000fd --delay 0 >/dev/null || exit 1
in_host() { ip netns exec "$host_ns" "$@"; }
in_host wineboot --init >/dev/null 2>&1

failures=0
check() {
  local name=$1 expected_code=$2 expected_line=$3 destination=$4
  local output code
  output=$(in_host timeout 300 wine "$exe" -p "$destination" </dev/null 2>/dev/null | tr -d '\r')
  code=${PIPESTATUS[0]}
  local lines
  lines=$(grep -cxF "$expected_line" <<<"$output")
  if [ "$code" != "$expected_code" ] || [ "$lines" != 3 ]; then
    echo "FAIL: $name (exit $code, expected $expected_code)"
    echo "$output"
    failures=$((failures + 1))
  else
    echo "ok: $name (exit $code)"
  fi
}

check "ping the peer" 0 "Pinged 192.0.2.1 successfully." 192.0.2.1
check "no host behind the address" 7 "ERROR: There was no reply to pings " 192.0.2.99
in_host wineserver -k 2>/dev/null
[ "$failures" -eq 0 ]
