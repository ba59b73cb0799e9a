#!/usr/bin/env bash
# The READMEs' build commands are the ones CI runs: every cmake or ctest line of a ```sh block
# must appear, as a whole line and exactly, in scripts/test.sh, so a build the README shows cannot
# break unnoticed. Builds go through the presets only: a configure by hand, naming its source
# and build folders, picks its own generator, and a later preset run over the same folder is then
# refused, so no such command may be shown or scripted.
set -euo pipefail
cd "$(dirname "$0")/.."

readmes=(README.md emu/README.md)
runner=scripts/test.sh
failed=0

# The command part of each line: blanks trimmed, a trailing "# comment" removed.
commands() { sed -E 's/[[:space:]]+#.*$//; s/^[[:space:]]+//; s/[[:space:]]+$//' "$@"; }

shown=$(awk '/^```/ { in_sh = ($0 == "```sh"); next } in_sh' "${readmes[@]}" |
  commands | grep -E '^(cmake|ctest)([[:space:]]|$)' || true)
if [ -z "$shown" ]; then
  echo "no cmake or ctest line in a sh block of ${readmes[*]}"
  failed=1
fi
while IFS= read -r line; do
  [ -n "$line" ] || continue
  if ! commands "$runner" | grep -qxF -- "$line"; then
    echo "README command not run by $runner exactly as written: $line"
    failed=1
  fi
done <<<"$shown"

if grep -nE 'cmake +(-S|-B|--build +[^- ])' "${readmes[@]}" scripts/*.sh bench/*.sh; then
  echo "a build by hand (above) instead of a preset: use cmake --preset NAME and" \
    "cmake --build --preset NAME"
  failed=1
fi
exit "$failed"
