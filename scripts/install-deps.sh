#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail

# The database tests start throwaway PostgreSQL and MariaDB servers through their ODBC drivers.
# chromium renders the record reader's report page, headless, in its test.
packages=(cmake ninja-build g++ googletest libgtest-dev clang libclang-rt-14-dev clang-format
          clang-tidy g++-mingw-w64-x86-64 wine64 wine hyperfine nlohmann-json3-dev unixodbc-dev
          odbc-postgresql postgresql mariadb-server odbc-mariadb chromium)
# The release preset configures the tests too, so a build alone needs GoogleTest; the programs
# link the ODBC driver manager.
[ "${1:-}" = "--build-only" ] &&
  packages=(cmake ninja-build g++ googletest libgtest-dev nlohmann-json3-dev unixodbc-dev)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
