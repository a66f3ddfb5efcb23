# The settings code against the prefix's own registry: RegistryStoreTest.exe
# runs its checks, then leaves two monitors and the custom colours, which
# `reg query` reads back independently of the code that wrote them.

E2E_MONITORS_KEY="$E2E_AGENT_KEY\\Monitors"
E2E_MONITOR_FLAGS="HideWindowTitle ShowWindowOnTop ShowMaxSpeedText ShowCurPeakText ShowMaxPeakText
    EnableHorizontalLines EnableVerticalLines EnableTimeArrow EnableConnectionTimeText
    DontConsiderHardwareHeaders EnableBoldTextsOnWindow MakeWindowTrasparentForMouse
    MakeSendReceiveScaleEqual PopupWhenConnected HideWhenDisconnected EnableBytesPerSecond"

# e2e_registry_program [argument]: runs RegistryStoreTest.exe, sets
# E2E_REGISTRY_OUT to what it printed and returns its exit code.
e2e_registry_program() {
    [ -f "$E2E_BIN/RegistryStoreTest.exe" ] || { e2e_fail "missing $E2E_BIN/RegistryStoreTest.exe"; return 1; }
    E2E_REGISTRY_OUT=$(e2e_wine "$E2E_BIN/RegistryStoreTest.exe" "$@" | tr -d '\r'; exit "${PIPESTATUS[0]}")
    local rc=$?
    printf '%s\n' "$E2E_REGISTRY_OUT" >>"$E2E_LOG"
    return $rc
}

case_registry_store() {
    e2e_registry_program
    local rc=$?
    printf '%s\n' "$E2E_REGISTRY_OUT" >"$E2E_ARTIFACTS/registry-store.txt"
    local summary failures
    summary=$(printf '%s\n' "$E2E_REGISTRY_OUT" | grep '^registry tests: ')
    failures=$(printf '%s\n' "$E2E_REGISTRY_OUT" | grep '^FAIL ' | head -5 | paste -sd ';')
    [ -n "$failures" ] && { e2e_fail "$failures"; return 1; }
    [[ "$summary" =~ ^registry\ tests:\ [0-9]+\ checks,\ 0\ failed$ ]] && [ $rc = 0 ] ||
        e2e_fail "RegistryStoreTest.exe ended with code $rc, summary \"${summary:-none}\""
}

# e2e_expect_reg <key> <name> <TYPE DATA>: hex digits compared in any case.
e2e_expect_reg() {
    local got
    got=$(e2e_reg_value "$1" "$2")
    [ "${got^^}" = "${3^^}" ] || e2e_fail "${1##*\\}\\$2 is \"${got:-missing}\", expected \"$3\""
}

# Little-endian hex of 32-bit words.
e2e_le_words() {
    local word
    for word in "$@"; do
        printf '%02X%02X%02X%02X' $((word & 255)) $((word >> 8 & 255)) $((word >> 16 & 255)) $((word >> 24 & 255))
    done
}

case_registry_readback() {
    e2e_registry_program --leave-monitors || { e2e_fail "RegistryStoreTest.exe --leave-monitors failed"; return 1; }
    local first="$E2E_MONITORS_KEY\\0000" second="$E2E_MONITORS_KEY\\0001" i=0 flag colors="" custom=""
    e2e_expect_reg "$first" Name "REG_SZ {5E1A0C2B-3D4F-4A6B-8C7D-9E0F1A2B3C4D}" || return 1
    e2e_expect_reg "$second" Name "REG_SZ {5E1A0C2B-3D4F-4A6B-8C7D-9E0F1A2B3C4E}" || return 1
    for flag in $E2E_MONITOR_FLAGS; do
        e2e_expect_reg "$first" "$flag" "REG_BINARY 0$(((i + 1) % 2))" || return 1
        i=$((i + 1))
    done
    e2e_expect_reg "$first" TransparentLevel "REG_DWORD 0x28" || return 1
    e2e_expect_reg "$first" RefreshRate "REG_DWORD 0xfa" || return 1
    for i in $(seq 0 21); do colors+=$(e2e_le_words $((i * 0x030201))); done
    e2e_expect_reg "$first" Colors "REG_BINARY $colors" || return 1
    e2e_expect_reg "$first" SizePositionWindow "REG_BINARY $(e2e_le_words 2 $((-20 & 0xFFFFFFFF)) 30 300 230)" ||
        return 1
    e2e_expect_reg "$second" ShowWindowOnTop "REG_BINARY 01" || return 1
    e2e_expect_reg "$second" HideWindowTitle "REG_BINARY 00" || return 1
    e2e_expect_reg "$second" TransparentLevel "REG_DWORD 0x0" || return 1
    e2e_expect_reg "$second" RefreshRate "REG_DWORD 0x3e8" || return 1
    e2e_expect_reg "$second" SizePositionWindow "REG_BINARY $(e2e_le_words 1 0 0 200 128)" || return 1
    for i in $(seq 0 15); do custom+=$(e2e_le_words $((i * 0x111111))); done
    e2e_expect_reg "$E2E_MONITORS_KEY" CustomColors "REG_BINARY $custom" || return 1
    local subkeys
    subkeys=$(e2e_wine reg query "$E2E_MONITORS_KEY" | tr -d '\r' | grep -ci '\\Monitors\\[0-9]')
    [ "$subkeys" = 2 ] || { e2e_fail "Monitors has $subkeys subkeys, expected 2"; return 1; }
    local export="$E2E_ARTIFACTS/registry-monitors.reg"
    rm -f "$export"
    e2e_wine reg export "$E2E_AGENT_KEY" "$(e2e_winpath "$export")" /y >/dev/null && [ -s "$export" ] ||
        e2e_fail "reg export of the agent key failed"
}

e2e_case registry-store case_registry_store
e2e_case registry-readback case_registry_readback
