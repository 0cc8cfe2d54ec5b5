#!/usr/bin/env bash
# The layering of the source tree, read from its includes:
#   - game/ (the rules) includes nothing of the platform, the view or the shell;
#   - game/, view/, instructions/ and res/ include no Qt header;
#   - only platform/sound/ includes SDL.
# With --transitive, a header of the project that a file of game/, view/ or
# instructions/ includes counts as part of that file, so that Qt reached
# through a platform header counts too.
#   check_includes.sh [--transitive] SOURCE_ROOT
# Every breach is listed with the file and line; the status is 1 if there is one.
set -u
transitive=0
if [ "${1:-}" = "--transitive" ]; then transitive=1; shift; fi
root=${1:?usage: check_includes.sh [--transitive] SOURCE_ROOT}
cd "$root" || exit 2

qt='^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q[A-Za-z]*(/[^>]*)?>'
sdl='^[[:space:]]*#[[:space:]]*include[[:space:]]*<SDL'
quoted='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)"'
breaches=0

breach() {  # breach FILE:LINE: TEXT
  echo "$1"
  breaches=$((breaches + 1))
}

sources_in() { find "$@" -type f \( -name '*.h' -o -name '*.cpp' \) | sort; }

# The project's headers a file includes, and theirs, each once.
closure() {
  local -A seen=()
  local queue=("$1") file include
  while [ "${#queue[@]}" -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    [ -n "${seen[$file]:-}" ] && continue
    seen[$file]=1
    echo "$file"
    while IFS= read -r include; do
      [ -f "$include" ] && queue+=("$include")
    done < <(sed -nE "s|$quoted|\\1|p" "$file")
  done
}

check() {  # check PATTERN WHAT FILE...
  local pattern=$1 what=$2 file reached hit
  shift 2
  for file in "$@"; do
    if [ "$transitive" = 1 ]; then reached=$(closure "$file"); else reached=$file; fi
    for hit in $reached; do
      while IFS= read -r line; do
        if [ "$hit" = "$file" ]; then breach "$file:$line ($what)"
        else breach "$file, through $hit:$line ($what)"; fi
      done < <(grep -nE "$pattern" "$hit")
    done
  done
}

mapfile -t rules < <(sources_in game)
mapfile -t upper < <(sources_in view instructions)
mapfile -t generator < <(sources_in res)
mapfile -t nonsound < <(sources_in game view instructions res app platform | grep -v '^platform/sound/')

for file in "${rules[@]}"; do
  while IFS= read -r line; do breach "$file:$line (the rules include code outside game/)"; done \
    < <(grep -nE "$quoted" "$file" | grep -vE '"game/')
done
check "$qt" "a Qt header" "${rules[@]}" "${upper[@]}"
transitive_saved=$transitive
transitive=0
check "$qt" "a Qt header" "${generator[@]}"
check "$sdl" "an SDL header outside platform/sound/" "${nonsound[@]}"
transitive=$transitive_saved

if [ "$breaches" -gt 0 ]; then
  echo "check_includes.sh: $breaches include(s) break the layering" >&2
  exit 1
fi
echo "check_includes.sh: the layering holds"
