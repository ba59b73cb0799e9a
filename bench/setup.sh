# setup.sh - sourced by the benches: the release preset's build of the utility and the emulator
# tool, and a temporary emulator directory holding one QNT5230, removed on exit. Sets $tool, $emu
# and $work.
scripts/install-deps.sh --build-only
cmake --preset release >/dev/null
cmake --build --preset release --target 5200WinCmd qnt5200-emu >/dev/null

tool=$PWD/build/release/src/5200WinCmd
emu=$PWD/build/release/emu/qnt5200-emu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QNT5200_EMU_DIR=$work/adapters
"$emu" create --chip QNT5230 >/dev/null
