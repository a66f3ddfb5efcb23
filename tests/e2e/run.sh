#!/bin/bash
# Runs every end-to-end case against the programs in one bin folder:
#   tests/e2e/run.sh [bin-dir]        (default build/win32/bin)
# E2E_ONLY=<regex> runs the matching cases only; E2E_USE_DISPLAY=1 uses
# $DISPLAY instead of a private Xvfb; E2E_ARTIFACTS sets the output folder.
# E2E_JOBS=<n> (default 2) runs the cases in n shards side by side, each
# with its own Xvfb, wine prefix and simulator; a shard takes the next case
# nobody has taken yet, so a slow case does not hold the others back.
set -u
here=$(cd "$(dirname "$0")" && pwd)
artifacts=${E2E_ARTIFACTS:-$(realpath -m "$here/../../out/e2e")}
. "$here/lib.sh"

E2E_CASE_NAMES=()
E2E_CASE_FUNCS=()

# e2e_case <name> <function>: called by the case files to register a case.
e2e_case() {
    E2E_CASE_NAMES+=("$1")
    E2E_CASE_FUNCS+=("$2")
}

for file in "$here"/cases/*.sh; do
    . "$file"
done

bin=${1:-$here/../../build/win32/bin}
# Cases script every change they want; the demo and the soak keep the
# scenario's own.
E2E_DROP_TIMED=1
jobs=${E2E_JOBS:-2}
# Shards on one display would share its pointer and its screenshots.
[ "${E2E_USE_DISPLAY:-0}" = 1 ] && jobs=1

# run_shards: starts the shards, waits for them, and adds up their results.
run_shards() {
    local queue k pid passed=0 failed=0 retries=0 p f r
    local -a pids=()
    queue=$(mktemp -d /tmp/zorvanh-queue.XXXXXX) || return 1
    trap 'kill "${pids[@]}" 2>/dev/null; wait; rm -rf "$queue"; exit 130' INT TERM
    for ((k = 1; k <= jobs; k++)); do
        E2E_SHARD=$k E2E_QUEUE=$queue E2E_ARTIFACTS=$artifacts bash "$here/run.sh" "$bin" &
        pids+=($!)
    done
    wait "${pids[@]}"
    for ((k = 1; k <= jobs; k++)); do
        if read -r p f r 2>/dev/null <"$queue/result-$k"; then
            passed=$((passed + p)) failed=$((failed + f)) retries=$((retries + r))
        else
            echo "FAIL shard $k: ended without a result"
            failed=$((failed + 1))
        fi
    done
    rm -rf "$queue"
    echo "end-to-end: $passed passed, $failed failed, $retries transport retries, $((SECONDS / 60)) min $((SECONDS % 60)) s, $jobs shards"
    echo "$passed passed, $failed failed"
    [ $failed -eq 0 ]
}

if [ "$jobs" -gt 1 ] && [ -z "${E2E_SHARD:-}" ]; then
    run_shards
    exit
fi

# claim <index>: true when this shard is the one to run the case.
claim() {
    [ -z "${E2E_QUEUE:-}" ] || mkdir "$E2E_QUEUE/case-$1" 2>/dev/null
}

# report <passed> <failed> <retries>: the shard's result, for run_shards.
report() {
    [ -z "${E2E_QUEUE:-}" ] || echo "$1 $2 $3" >"$E2E_QUEUE/result-$E2E_SHARD"
}

passed=0
failed=0

if ! e2e_setup "$bin" "$artifacts"; then
    echo "FAIL setup${E2E_SHARD:+ of shard $E2E_SHARD}: $E2E_REASON"
    report 0 1 0
    [ -n "${E2E_SHARD:-}" ] || echo "0 passed, 1 failed"
    exit 1
fi

for i in "${!E2E_CASE_NAMES[@]}"; do
    name=${E2E_CASE_NAMES[$i]}
    [[ -n "${E2E_ONLY:-}" && ! "$name" =~ $E2E_ONLY ]] && continue
    claim "$i" || continue
    E2E_REASON=""
    e2e_log "=== $name"
    e2e_reset_registry
    # Menus open where the pointer is: every case starts with it at one place.
    xdotool mousemove 640 400 2>>"$E2E_LOG"
    started=$SECONDS
    "${E2E_CASE_FUNCS[$i]}"
    rc=$?
    e2e_case_teardown
    [ $rc -ne 0 ] && [ -z "$E2E_REASON" ] && E2E_REASON="case returned $rc"
    if [ -z "$E2E_REASON" ]; then
        echo "PASS $name"
        passed=$((passed + 1))
    else
        echo "FAIL $name: $E2E_REASON"
        failed=$((failed + 1))
    fi
    e2e_log "=== $name done in $((SECONDS - started)) s"
done

retries=$(e2e_transport_retries)
e2e_log "transport retries: $retries"
report "$passed" "$failed" "$retries"
if [ -n "${E2E_SHARD:-}" ]; then
    e2e_log "shard $E2E_SHARD: $passed passed, $failed failed in $((SECONDS / 60)) min $((SECONDS % 60)) s"
    [ $failed -eq 0 ]
    exit
fi
echo "end-to-end: $passed passed, $failed failed, $retries transport retries, $((SECONDS / 60)) min $((SECONDS % 60)) s"
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
