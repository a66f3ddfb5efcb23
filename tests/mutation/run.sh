#!/bin/bash
# Applies the mutants of tests/mutation/mutants.txt one at a time, runs the
# tests that cover each and tells whether they notice:
#   tests/mutation/run.sh [id...]        (default: every mutant)
# unit mutants rebuild build/native and run all of its ctest; e2e mutants
# rebuild the 64-bit agent in build/win64 and run their named pytest cases.
# Each run's output goes to out/mutation/<id>.log (MUTATION_LOG moves it).
# A unit run and an e2e run may go side by side (with two MUTATION_LOGs):
# a lock keeps every build away from the other tier's mutant, and the
# unit build never compiles the window code an e2e mutant changes.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root" || exit 1
logs=${MUTATION_LOG:-$root/out/mutation}
py=/usr/bin/python3
mkdir -p "$logs" build
exec 9>build/mutation.lock

saved="" target=""
# Writing the copy back gives a fresh time stamp, so that the next build
# compiles the original again.
restore() { [ -n "$saved" ] && cat "$saved" >"$target" && rm -f "$saved"; saved=""; }
trap restore EXIT
trap 'restore; exit 130' INT TERM

# apply <file> <original> <replacement>: fails unless the original is there exactly once.
apply() {
    "$py" -c 'import sys
path, old, new = sys.argv[1:]
text = open(path, encoding="utf-8", newline="").read()
text.count(old) == 1 or sys.exit(3)
open(path, "w", encoding="utf-8", newline="").write(text.replace(old, new))' "$@"
}
build_unit() { cmake --build build/native >>"$1" 2>&1; }
build_e2e() { cmake --build build/win64 --target ZorvanHAgent >>"$1" 2>&1; }
run_unit() { (cd build/native && ctest --output-on-failure) >>"$1" 2>&1; }
has() { [[ $tiers == *$1* ]]; }

# run_cases <log> <case>...: true when every end-to-end test passes; a case
# is its pytest test or parameter id (tray-menu: test_tray_menu).
run_cases() {
    local log=$1 c k=""
    shift
    for c; do k="${k:+$k or }test_${c//-/_} or $c"; done
    "$py" -m pytest tests/e2e -q -p no:cacheprovider -k "$k" --bin build/win64/bin >>"$log" 2>&1
}

declare -A bad=()
lines=()
while IFS= read -r line; do
    id=${line%%$'\t'*}
    [[ -z "$id" || "$id" == \#* ]] || { [ $# -gt 0 ] && [[ " $* " != *" $id "* ]]; } || lines+=("$line")
done <tests/mutation/mutants.txt
tiers=$(printf '%s\n' "${lines[@]}" | cut -f3)

# The unmutated agent must pass what judges the mutants.
echo "baseline: building and running the covering tests unmutated"
base=$logs/baseline.log
: >"$base"
flock 9
has unit && { build_unit "$base" && run_unit "$base" || bad[unit]=1; }
if has e2e; then
    cmake --build build/win64 >>"$base" 2>&1 || { echo "the 64-bit build fails"; exit 1; }
    flock -u 9
    all=$(printf '%s\n' "${lines[@]}" | cut -f4 | tr , '\n' | grep -v '^-\?$' | sort -u)
    : >"$logs/baseline-together.log"
    # When the cases together fail, each runs again alone: only a case that
    # fails twice judges nothing.
    run_cases "$logs/baseline-together.log" $all ||
        for c in $all; do run_cases "$base" "$c" || { bad[$c]=1; echo "baseline failing: $c"; }; done
fi
[ -n "${bad[unit]:-}" ] && echo "baseline failing: unit tests"

results=() killed=0 judged=0
for line in "${lines[@]}"; do
    IFS=$'\t' read -r id path tier cases old new <<<"$line"
    file=src/${path#src/} log=$logs/$id.log
    : >"$log"
    flock 9
    saved=$(mktemp) && cp "$file" "$saved" && target=$file
    started=$SECONDS
    result="baseline failing"
    if ! apply "$file" "$old" "$new"; then
        result=stale
    elif [ "$tier" = unit ]; then
        if [ -n "${bad[unit]:-}" ]; then :
        elif ! build_unit "$log"; then result=build-failed
        elif run_unit "$log"; then result=survived
        else result=killed; fi
    elif ! build_e2e "$log"; then
        result=build-failed
    else
        flock -u 9
        run=()
        for c in ${cases//,/ }; do [ -n "${bad[$c]:-}" ] || run+=("$c"); done
        [ ${#run[@]} -gt 0 ] && { run_cases "$log" "${run[@]}" && result=survived || result=killed; }
    fi
    restore
    flock -u 9
    # A moment for a build waiting on the lock in the other tier's run.
    [ "$tier" = unit ] && sleep 1
    [ "$result" = killed ] && killed=$((killed + 1))
    [[ "$result" = killed || "$result" = survived ]] && judged=$((judged + 1))
    results+=("$(printf '%-24s %-5s %-36s %s' "$id" "$tier" "$path" "$result")")
    echo "${results[-1]}   ($((SECONDS - started)) s)"
done

# The tree is clean again: bring both builds back to the unmutated code.
flock 9
has unit && build_unit "$base"
has e2e && build_e2e "$base"
echo
printf '%s\n' "${results[@]}" | tee "$logs/results.txt"
echo "killed $killed of ${#lines[@]} ($judged judged)" | tee -a "$logs/results.txt"
