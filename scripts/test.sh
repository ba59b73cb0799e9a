#!/usr/bin/env bash
# The whole test suite: formatting and lint, the sanitizer build with every test, the Windows
# build, the Windows build under Wine, and a bounded fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh

echo "== formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "== sanitizer build (address, undefined)"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQNT_SANITIZE=ON >/dev/null
cmake --build build/asan -j"$jobs"

echo "== Windows build"
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build/windows -j"$jobs"

echo "== clang-tidy"
git ls-files 'src/*.cpp' 'emu/*.cpp' | grep -v '^src/platform/win32/' |
  xargs -P "$jobs" -n 4 clang-tidy -p build/asan --quiet 2>/dev/null

echo "== Windows build under Wine"
tests/wine/smoke.sh build/windows/src/5200WinCmd.exe build/asan/src/5200WinCmd

echo "== Windows test build's ping under Wine, in network namespaces (root only)"
tests/wine/network.sh build/windows/5200WinCmd-emu.exe build/asan/emu/qnt5200-emu

echo "== fuzzing the INI loader and the image patch"
if [ -x fuzz/run_fuzz.sh ]; then fuzz/run_fuzz.sh; fi

echo "== tests"
ctest --test-dir build/asan --output-on-failure -j"$jobs"
