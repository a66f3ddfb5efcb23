# The monitor diagram drawn through the real painting code, without a window.

case_diagram_render() {
    local out="$E2E_ARTIFACTS/render" result
    mkdir -p "$out" || return 1
    result=$(timeout -k 2 60 wine "$E2E_BIN/DiagramRenderCheck.exe" "$(e2e_winpath "$out")" 2>>"$E2E_LOG" | tr -d '\r')
    local status=${PIPESTATUS[0]}
    printf '%s\n' "$result" >>"$E2E_LOG"
    local bmp
    for bmp in "$out"/*.bmp; do
        [ -f "$bmp" ] && /usr/bin/convert "$bmp" -strip "${bmp%.bmp}.png" && rm -f "$bmp"
    done
    [ "$status" = 0 ] || e2e_fail "render check: $(printf '%s' "$result" | grep -m1 -E 'WRONG|FAILED|could not')"
}

e2e_case diagram-render case_diagram_render
