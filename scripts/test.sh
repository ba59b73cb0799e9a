#!/usr/bin/env bash
# The whole test suite: formatting and lint, the builds the README shows (sanitizer, release with
# its tests, Windows) run exactly as it writes them, every test in the sanitizer and the release
# build, the demo, the README's other commands as written, the install and the packages, the
# Windows build under Wine, and a bounded fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# The README's commands name no job counts; these give them one.
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$jobs}
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$jobs}
# Each heading says when its section started, so a log shows where CI's time goes.
section() { printf '== %s (at %dm%02ds)\n' "$1" $((SECONDS / 60)) $((SECONDS % 60)); }

scripts/install-deps.sh

section "formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

section "the README's build commands are the ones run below"
scripts/check-readme-commands.sh

section "sanitizer build (address, undefined) and its tests"
cmake --preset asan && cmake --build --preset asan && ctest --preset asan

section "release build: the programs alone (as the README builds them), then the tests, optimised"
cmake --preset release && cmake --build --preset programs
cmake --build --preset release
ctest --preset release

section "the demo, on the release build"
scripts/demo.sh >build/demo.log || { cat build/demo.log; exit 1; }

section "the README, every shell block in order in a fresh copy, on the release build"
timeout 600 scripts/run-readme.sh >build/readme.log || { cat build/readme.log; exit 1; }
tail -n 2 build/readme.log

section "Windows build"
cmake --preset windows && cmake --build --preset windows

section "install and packages: their contents, the Windows programs' resources"
rm -rf build/staging
cmake --install build/release --prefix build/staging
build/staging/bin/5200WinCmd --version && test -f build/staging/share/doc/5200WinCmd/README.md
cmake --build --preset release --target package
cmake --build --preset windows --target package
scripts/check-packages.sh

section "clang-tidy"
git ls-files 'src/*.cpp' 'emu/*.cpp' | grep -v '^src/platform/win32/' |
  xargs -P "$jobs" -n 4 clang-tidy -p build/asan --quiet 2>/dev/null

section "Windows build under Wine"
tests/wine/smoke.sh build/windows/src/5200WinCmd.exe build/asan/src/5200WinCmd

section "Windows test build under Wine beside a Linux station, on one PostgreSQL server"
tests/wine/database.sh build/windows/5200WinCmd-emu.exe build/release/src/5200WinCmd

section "Windows test build's ping under Wine, in network namespaces (root only)"
tests/wine/network.sh build/windows/5200WinCmd-emu.exe build/asan/emu/qnt5200-emu

section "fuzzing the INI loader and the image patch"
if [ -x fuzz/run_fuzz.sh ]; then fuzz/run_fuzz.sh; fi
section "done"
