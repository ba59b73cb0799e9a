#!/usr/bin/env bash
# Runs README.md as a reader follows it: every ```sh block in order, each command line as written,
# in a fresh copy of the repository's committed tree in a temporary folder, with emulated adapters
# of its own.
#
# - A command must end with exit code 0, or with the code its line names in a trailing comment
#   that begins "# exit N" (-1 is 255, as a shell shows it). A trailing comment that speaks of an
#   exit code in any other form is refused, so what a reader is told is what is checked.
# - A ```text (or ```json) block that follows a ```sh block (with nothing but blank lines
#   between) is the standard output of that block's last command, compared line by line; a line
#   "..." alone stands for any number of lines (up to the first one that matches the line after
#   it). What differs from run to run is replaced on both sides before they are compared: UTC
#   times (2026-12-08T05:43:31Z),
#   the banner's build time, the commit a version names, the span a boards-per-hour line measures
#   ("in 0:00:00, too short a span to measure", "in 0:00:03, 2400.0 per hour"), and this machine's
#   host name, which the README shows as the station "vm".
# - The lines scripts/test.sh runs itself are passed over, so nothing is built or run twice:
#   cmake and ctest lines (scripts/check-readme-commands.sh makes sure test.sh runs each of them
#   exactly as written), scripts/test.sh and scripts/demo.sh themselves, and apt-get (the set-up
#   installs the packages). The copy's build/ is a link to the repository's build/ (or to
#   README_BUILD_DIR), so the programs those lines built are where the README says they are.
#   Run it after the release build.
# - The commands run in this script's shell, as a reader's run in theirs: no errexit, nounset or
#   pipefail, standard input empty. The script's own names all begin with readme_.
#
# Usage: scripts/run-readme.sh [MARKDOWN_FILE]   (default README.md; exit 1 when a check fails)
set -o nounset
readme_repo=$(cd "$(dirname "$0")/.." && pwd)
readme_file=${1:-README.md}
readme_build=${README_BUILD_DIR:-$readme_repo/build}
readme_started=$SECONDS

readme_work=$(mktemp -d)
trap 'cd / && rm -rf "$readme_work"' EXIT
readme_clone=$readme_work/clone
mkdir -p "$readme_clone" "$readme_work/tmp"
# A reader's temporary folder is open to every user (the database cluster of the README runs as
# its own user there).
chmod 755 "$readme_work" && chmod 1777 "$readme_work/tmp"
# The repository's committed files, as a fresh clone holds them: nothing the checkout holds beside
# them (a file a reader made by following the README, an untracked one) reaches the copy.
(cd "$readme_repo" && git archive --format=tar HEAD | tar -x -C "$readme_clone")
ln -s "$readme_build" "$readme_clone/build"

# Whatever the blocks make goes into the temporary folder: mktemp, and the emulator's default
# folder when the README names none.
export TMPDIR=$readme_work/tmp XDG_STATE_HOME=$readme_work/state HOME=$readme_work/home
unset QNT5200_EMU_DIR
mkdir -p "$HOME"

# --- Reading the blocks --------------------------------------------------------------------------
readme_commands=()  # one logical command line each (continuation lines joined)
readme_lines=()     # its line number in the file
readme_expected=()  # the file of the output shown for it, or ""
readme_count=0
readme_failures=()

readme_parse() {
  local state=outside pending="" number=0 line text="" first=0 block_last=-1
  while IFS= read -r line || [ -n "$line" ]; do
    number=$((number + 1))
    case $state in
      outside)
        if [ "$line" = '```sh' ]; then
          state=sh block_last=-1
        elif [[ $line == '```text' || $line == '```json' ]] && [ -n "$pending" ]; then
          state=text
          readme_expected[pending]=$readme_work/expected.$pending
          : >"${readme_expected[pending]}"
        elif [[ $line == '```'* ]]; then
          state=other pending=""
        elif [ -n "${line//[[:space:]]/}" ]; then
          pending=""
        fi
        ;;
      sh)
        if [ "$line" = '```' ]; then
          state=outside pending=$block_last
          continue
        fi
        if [ -z "$text" ]; then
          [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
          first=$number
        fi
        text+=$line
        if [[ $line == *\\ ]]; then
          text+=$'\n'
          continue
        fi
        readme_commands[readme_count]=$text
        readme_lines[readme_count]=$first
        readme_expected[readme_count]=""
        block_last=$readme_count
        readme_count=$((readme_count + 1))
        text=""
        ;;
      text)
        if [ "$line" = '```' ]; then
          state=outside pending=""
        else
          printf '%s\n' "$line" >>"${readme_expected[pending]}"
        fi
        ;;
      other) [ "$line" = '```' ] && state=outside ;;
    esac
  done <"$readme_clone/$readme_file"
}

# --- Checking a command --------------------------------------------------------------------------

# Sets readme_code to the exit code a command's trailing comment names, or 0. Fails (and names
# the line) when the comment speaks of an exit code in another form.
readme_expected_code() {
  local command=$1 number=$2
  readme_code=0
  if [[ $command =~ [[:space:]]#[[:space:]]*exit[[:space:]]+(-?[0-9]+)([^0-9]|$) ]]; then
    readme_code=$((BASH_REMATCH[1] & 255))
  elif [[ $command =~ [[:space:]]#.*exit([[:space:]]+code)?[[:space:]:]*-?[0-9] ]]; then
    readme_failures+=("line $number: an exit code in a comment is written \"# exit N\" first")
  fi
}

# Times, the build, the commit, the measured span and the station are replaced by placeholders.
readme_normalize() {
  local host
  host=$(hostname 2>/dev/null | sed 's/[.[\*^$]/\\&/g')
  sed -E -e 's/[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z/TIME/g' \
    -e 's/ \(Built at .* on .*\)$/ (Built at TIME on DATE)/' \
    -e 's/\(commit [^)]*\)/(commit C)/g' \
    -e 's/ in [0-9]+:[0-9]{2}:[0-9]{2}, (too short a span to measure|[0-9.]+ per hour)$/ in SPAN/' \
    ${host:+-e "s/(^|[^A-Za-z0-9_.-])$host([^A-Za-z0-9_.-]|$)/\\1vm\\2/g"}
}

# True when the actual output (file $2) matches the expected one (file $1), "..." lines included.
readme_matches() {
  awk 'NR == FNR { want[++wants] = $0; next }
       { got[++gots] = $0 }
       END {
         g = 1
         for (w = 1; w <= wants; w++) {
           if (want[w] != "...") {
             if (g > gots || got[g] != want[w]) exit 1
             g++
             continue
           }
           if (w == wants) exit 0
           while (g <= gots && got[g] != want[w + 1]) g++
         }
         exit g <= gots
       }' "$1" "$2"
}

readme_skip_reason() {
  local words=$1
  words=${words#"${words%%[![:space:]]*}"}
  case $words in
    cmake\ * | ctest\ *) echo "a build line scripts/test.sh runs itself" ;;
    scripts/test.sh* | scripts/demo.sh*) echo "scripts/test.sh runs it" ;;
    apt-get\ * | sudo\ *) echo "the set-up installs the packages" ;;
  esac
}

# Runs command |$1| in this shell, so that what it sets stays for the next; the variables here
# are globals of the script's own, since a local would hide a name the README sets.
readme_run() {
  readme_command=${readme_commands[$1]} readme_number=${readme_lines[$1]}
  readme_skip=$(readme_skip_reason "$readme_command")
  if [ -n "$readme_skip" ]; then
    printf '\n# line %d, passed over (%s): %s\n' "$readme_number" "$readme_skip" "$readme_command"
    return
  fi
  readme_expected_code "$readme_command" "$readme_number"
  printf '\n$ %s\n' "$readme_command"
  if [ -n "${readme_expected[$1]}" ]; then
    eval "$readme_command" </dev/null >"$readme_work/actual"
    readme_rc=$?
    cat "$readme_work/actual"
    readme_normalize <"${readme_expected[$1]}" >"$readme_work/want"
    readme_normalize <"$readme_work/actual" >"$readme_work/got"
    if ! readme_matches "$readme_work/want" "$readme_work/got"; then
      diff -u --label "shown below line $readme_number" --label "printed" "$readme_work/want" \
        "$readme_work/got"
      readme_failures+=("line $readme_number: the output differs from the one shown")
    fi
  else
    eval "$readme_command" </dev/null
    readme_rc=$?
  fi
  if [ "$readme_rc" -ne "$readme_code" ]; then
    readme_failures+=("line $readme_number: exit code $readme_rc, where the README says \
$readme_code: $readme_command")
    printf '# ^ FAILED: exit code %d, expected %d\n' "$readme_rc" "$readme_code"
  fi
}

readme_parse
set +o nounset
cd "$readme_clone" || exit 1
for ((readme_i = 0; readme_i < readme_count; readme_i++)); do
  readme_run "$readme_i"
done
cd / || exit 1

printf '\n%d commands of %s run in %d s\n' "$readme_count" "$readme_file" \
  $((SECONDS - readme_started))
if [ "${#readme_failures[@]}" -gt 0 ]; then
  printf '%s\n' "${readme_failures[@]}"
  exit 1
fi
echo "Every command of $readme_file worked as written."
