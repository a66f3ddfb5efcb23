#!/bin/bash
# Runs every end-to-end case against the programs in one bin folder:
#   tests/e2e/run.sh [bin-dir]        (default build/win32/bin)
# E2E_ONLY=<regex> runs the matching cases only; E2E_USE_DISPLAY=1 uses
# $DISPLAY instead of a private Xvfb; E2E_ARTIFACTS sets the output folder.
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
passed=0
failed=0

if ! e2e_setup "$bin" "$artifacts"; then
    echo "FAIL setup: $E2E_REASON"
    echo "0 passed, 1 failed"
    exit 1
fi

for i in "${!E2E_CASE_NAMES[@]}"; do
    name=${E2E_CASE_NAMES[$i]}
    [[ -n "${E2E_ONLY:-}" && ! "$name" =~ $E2E_ONLY ]] && continue
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
echo "end-to-end: $passed passed, $failed failed, $retries transport retries, $((SECONDS / 60)) min $((SECONDS % 60)) s"
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
