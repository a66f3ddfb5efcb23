# The Monitor(s) page: what two selected monitors have in common, unapplied
# changes marked with "*", "&Apply" writing the registry and changing an
# open monitor at once, "Ca&ncel" and "&Restore Defaults". Uses the helpers
# of tray.sh, preferences.sh and monitors.sh.

MONPAGE_TITLE="ZorvanHAgent Monitor Properties"
MONPAGE_LEVEL="Window transparent level:"
LAN_KEY="$MONITORS_KEY\\0000"
WLAN_KEY="$MONITORS_KEY\\0001"
TBM_SETPOS=0x405
TBM_GETPOS=0x400
WM_HSCROLL=0x114
VK_SPACE=0x20

# monpage_store <subkey> <id> <transparency> <left> <top> [flag...]: a stored
# monitor of 200 x 128 with the default flags, the named ones switched on.
monpage_store() {
    local file="$E2E_TMP/monpage-$1.reg" hex="01,00,00,00" v pair name value
    for v in "$4" "$5" $(($4 + 200)) $(($5 + 128)); do
        hex+=$(printf ',%02x,%02x,%02x,%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)))
    done
    {
        printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Merovax\\ZorvanHAgent\\Monitors\\%s]\r\n' "$1"
        printf '"Name"="%s"\r\n"SizePositionWindow"=hex:%s\r\n"TransparentLevel"=dword:%08x\r\n' "$2" "$hex" "$3"
        for pair in $MONITOR_DEFAULT_FLAGS; do
            name=${pair%=*}
            value=${pair#*=}
            [[ " ${*:6} " == *" $name "* ]] && value=1
            printf '"%s"=hex:0%s\r\n' "$name" "$value"
        done
        printf '\r\n'
    } >"$file"
}

monpage_import() {
    cat "$E2E_TMP/monpage-0000.reg" <(tail -n +3 "$E2E_TMP/monpage-0001.reg") >"$E2E_TMP/monpage.reg"
    e2e_wine reg import "$(e2e_winpath "$E2E_TMP/monpage.reg")" >/dev/null 2>&1 || e2e_fail "cannot import the monitors"
}

monpage_control() {
    tray_driver list-children "hwnd:$MONPAGE" | tr -d '\r' | awk -F'\t' -v id="$1" '$2 == id { print $1; exit }'
}

monpage_text() {
    tray_driver text "hwnd:$MONPAGE" "$1" | tr -d '\r'
}

monpage_rows() {
    tray_driver lv-rows "hwnd:$MONPAGE" "$1" | tr -d '\r'
}

# monpage_flag <label>: "index image text" of that flag's row, "*" or not.
monpage_flag() {
    monpage_rows 1030 | awk -F'\t' -v l="$1" '$5 == l || $5 == l "*" { print $1, $3, $5; exit }'
}

monpage_text_is() {
    [ "$(monpage_text "$1")" = "$2" ]
}

# The page redraws its labels after the message that changed them has been
# handled, so the text is awaited rather than read once.
monpage_expect_text() {
    e2e_until 16 monpage_text_is "$1" "$2" && return 0
    e2e_fail "control $1 shows \"$(monpage_text "$1")\", not \"$2\""
}

monpage_color_ok() {
    tray_driver press "Color" 1 --timeout 3000 >/dev/null
    tray_driver wait-gone "Color" --timeout 2000 >/dev/null
}

monpage_enabled() {
    prefs_enabled "$MONPAGE" "$1"
}

monpage_press() {
    tray_driver press "hwnd:$MONPAGE" "$1" >/dev/null || e2e_fail "cannot press $1"
}

monpage_flag_is() {
    [ "$(monpage_flag "$1")" = "$2" ]
}

# monpage_applied: the 60 % level and the vertical lines are stored, and the
# monitor is translucent at 60 %.
monpage_applied() {
    [ "$(monpage_reg "$LAN_KEY" TransparentLevel)" = "REG_DWORD 0x3c" ] &&
        [ "$(monpage_reg "$LAN_KEY" EnableVerticalLines)" = "REG_BINARY 01" ] &&
        [ "$(tray_driver layered "$MONITOR_LAN" | tr -d '\r')" = "layered 102" ]
}

# monpage_restored: the lan monitor's key holds the store's defaults.
monpage_restored() {
    [ "$(monpage_reg "$LAN_KEY" TransparentLevel)" = "REG_DWORD 0x0" ] &&
        [ "$(monpage_reg "$LAN_KEY" EnableVerticalLines)" = "REG_BINARY 00" ] &&
        [[ "$(monpage_reg "$LAN_KEY" SizePositionWindow)" == *0000000000000000C800000080000000 ]]
}

monpage_emptied() {
    [ -z "$(monpage_rows 1030)" ] && ! monpage_enabled 1058 && ! monpage_enabled 1030
}

# monpage_look_changed: a new picture of the monitor differs from the one
# taken before Apply; MONPAGE_DIFF says by how many pixels.
monpage_look_changed() {
    local w=$((MONITOR_RIGHT - MONITOR_LEFT)) h=$((MONITOR_BOTTOM - MONITOR_TOP)) got
    e2e_shot monitors-page-after
    for got in before after; do
        /usr/bin/convert "$E2E_ARTIFACTS/monitors-page-$got.png" -crop "${w}x$((h - 30))+$MONITOR_LEFT+$((MONITOR_TOP + 24))" \
            +repage "$E2E_TMP/monitor-$got.png"
    done
    MONPAGE_DIFF=$(/usr/bin/compare -metric AE "$E2E_TMP/monitor-before.png" "$E2E_TMP/monitor-after.png" null: 2>&1)
    [ "${MONPAGE_DIFF%% *}" -gt 40 ] 2>/dev/null
}

# The slider moved to a position, as a drag does.
monpage_slide() {
    local slider
    slider=$(monpage_control 1056)
    tray_driver send "hwnd:$slider" $TBM_SETPOS 1 "$1" >/dev/null &&
        tray_driver send "hwnd:$MONPAGE" $WM_HSCROLL 8 "$slider" >/dev/null || e2e_fail "the slider did not take $1"
}

# monpage_find <interface>: finds the page among the frame's dialogs and
# waits until its list shows that interface, and only it, selected.
monpage_find() {
    local page tries=0
    MONPAGE=""
    for page in $(prefs_children | awk -F'\t' '$4 == "#32770" { print $1 }'); do
        [ "$(tray_driver text "hwnd:$page" 1090 | tr -d '\r')" = "Monitor(s) Options" ] && MONPAGE=${page}
    done
    [ -n "$MONPAGE" ] || e2e_fail "no Monitor(s) page" || return 1
    until [ "$(monpage_rows 1029 | awk -F'\t' '$2 == 1' | cut -f5)" = "$1" ]; do
        tries=$((tries + 1))
        [ $tries -lt 40 ] || { e2e_fail "interfaces listed: $(monpage_rows 1029 | tr '\n\t' '; ')"; return 1; }
        sleep 0.25
    done
}

monpage_reg() {
    e2e_reg_value "$1" "$2"
}

case_monitors_page() {
    e2e_sim_start default.scn "set-interface lan rx-rate=0 tx-rate=0" || return 1
    monpage_store 0000 "$MONITOR_LAN_ID" 30 1040 60 || return 1
    monpage_store 0001 "$MONITOR_WLAN_ID" 51 1040 300 PopupWhenConnected || return 1
    monpage_import || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID got row image
    monitor_open 0 "$MONITOR_LAN" || return 1
    got=$(tray_driver layered "$MONITOR_LAN" | tr -d '\r')
    [ "$got" = "layered 178" ] || e2e_fail "monitor at 30% is \"$got\"" || return 1
    tray_choose $KEY_PREFERENCES || e2e_fail "the menu did not take the choice" || return 1
    prefs_select 2 || return 1
    monpage_find "$MONITOR_LAN" || return 1

    # Two monitors: the average level, the flag they differ on mixed, every
    # colour unknown.
    tray_driver lv-select "hwnd:$MONPAGE" 1029 1 on >/dev/null || e2e_fail "cannot select the second row" || return 1
    monpage_expect_text 1999 "$MONPAGE_LEVEL 40%" || return 1
    got=$(tray_driver send "hwnd:$(monpage_control 1056)" $TBM_GETPOS | tr -d '\r')
    [ "$got" = 0x28 ] || e2e_fail "slider at $got with two selected" || return 1
    read -r row image _ <<<"$(monpage_flag "Popup when connected")"
    [ "$image" = 2 ] || e2e_fail "\"Popup when connected\" shows image $image, not mixed" || return 1
    read -r row image _ <<<"$(monpage_flag "Show window on top")"
    [ "$image" = 0 ] || e2e_fail "\"Show window on top\" shows image $image, not on" || return 1
    ! monpage_enabled 1052 || e2e_fail "\"&Apply\" enabled before any change" || return 1
    e2e_shot monitors-page-two
    local rect
    rect=$(tray_driver window-rect "$TRAY_MAIN" | tr -d '\r')
    read -r l t r b <<<"$rect"
    /usr/bin/convert "$E2E_ARTIFACTS/monitors-page-two.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage \
        "$E2E_ARTIFACTS/monitors-page.png" 2>>"$E2E_LOG"

    # Back to the one monitor; a slider move and a flag toggle are marked.
    tray_driver lv-select "hwnd:$MONPAGE" 1029 1 off >/dev/null || e2e_fail "cannot deselect" || return 1
    monpage_expect_text 1999 "$MONPAGE_LEVEL 30%" || return 1
    monpage_slide 60 || return 1
    monpage_expect_text 1999 "$MONPAGE_LEVEL 60%*" || return 1
    read -r row image _ <<<"$(monpage_flag "Enable vertical lines")"
    [ -n "$row" ] || e2e_fail "no row \"Enable vertical lines\"" || return 1
    tray_driver lv-select "hwnd:$MONPAGE" 1030 "$row" on >/dev/null &&
        tray_driver key "hwnd:$(monpage_control 1030)" $VK_SPACE >/dev/null || e2e_fail "cannot toggle the flag" || return 1
    e2e_until 12 monpage_flag_is "Enable vertical lines" "$row 0 Enable vertical lines*" ||
        e2e_fail "toggled row is \"$(monpage_flag "Enable vertical lines")\"" || return 1
    monpage_expect_text 1065 "Extented parameters*" || return 1
    monpage_enabled 1052 || e2e_fail "\"&Apply\" disabled after a change" || return 1

    # Apply: the registry and the open monitor change at once.
    monitor_geometry "$MONITOR_LAN" || return 1
    e2e_shot monitors-page-before
    monpage_press 1052 || return 1
    e2e_until 12 monpage_applied || e2e_fail "applied values: $(monpage_reg "$LAN_KEY" TransparentLevel)," \
        "$(monpage_reg "$LAN_KEY" EnableVerticalLines), monitor $(tray_driver layered "$MONITOR_LAN" | tr -d '\r')" || return 1
    [ "$(monpage_reg "$WLAN_KEY" TransparentLevel)" = "REG_DWORD 0x33" ] ||
        e2e_fail "the unselected monitor changed too" || return 1
    e2e_until 12 monpage_look_changed || e2e_fail "the monitor looks the same after Apply ($MONPAGE_DIFF)" || return 1
    e2e_log "monitor pixels changed by Apply: $MONPAGE_DIFF"
    monpage_expect_text 1999 "$MONPAGE_LEVEL 60%" || return 1
    monpage_expect_text 1065 "Extented parameters" || return 1

    # Cancel throws a change away.
    monpage_slide 10 || return 1
    monpage_expect_text 1999 "$MONPAGE_LEVEL 10%*" || return 1
    monpage_press 1053 || return 1
    monpage_expect_text 1999 "$MONPAGE_LEVEL 60%" || return 1
    ! monpage_enabled 1052 || e2e_fail "\"&Apply\" enabled after \"Ca&ncel\"" || return 1
    [ "$(monpage_reg "$LAN_KEY" TransparentLevel)" = "REG_DWORD 0x3c" ] || e2e_fail "\"Ca&ncel\" wrote" || return 1

    # The colour dialog: OK on the black it starts from is a change; its
    # custom colours are stored whatever the answer.
    monpage_press 1055 || return 1
    tray_driver wait-window "Color" --timeout 5000 >/dev/null || e2e_fail "no colour dialog" || return 1
    # Under wine an OK pressed while the dialog still sets itself up can be
    # lost; the dialog is then still there to be asked again.
    e2e_until 3 monpage_color_ok || e2e_fail "the colour dialog does not take OK" || return 1
    monpage_expect_text 1064 "Color adjustment*" || return 1
    monpage_expect_text 1054 "Receive background*" || return 1
    got=$(monpage_reg "$MONITORS_KEY" CustomColors)
    [ "${#got}" = $((11 + 128)) ] || e2e_fail "custom colours stored as \"$got\"" || return 1

    # Restore Defaults, answered Yes: the store's defaults, the monitor opaque
    # at the default place (the window's move then rewrites the first word).
    monpage_press 1058 || return 1
    tray_driver msgbox "$MONPAGE_TITLE" --timeout 5000 >/dev/null || e2e_fail "no question before restoring" || return 1
    tray_driver press "$MONPAGE_TITLE" 6 --msgbox --timeout 3000 >/dev/null || e2e_fail "cannot answer Yes" || return 1
    e2e_until 12 monpage_restored ||
        e2e_fail "restored: $(monpage_reg "$LAN_KEY" TransparentLevel), $(monpage_reg "$LAN_KEY" SizePositionWindow)" ||
        return 1
    got=$(tray_driver layered "$MONITOR_LAN" | tr -d '\r')
    [ "$got" = opaque ] || e2e_fail "monitor after the defaults is \"$got\"" || return 1
    monpage_expect_text 1999 "$MONPAGE_LEVEL 0%" || return 1
    monpage_expect_text 1064 "Color adjustment" || return 1

    # Nothing selected: the page is disabled and its lists are empty.
    tray_driver lv-select "hwnd:$MONPAGE" 1029 0 off >/dev/null || e2e_fail "cannot deselect" || return 1
    e2e_until 12 monpage_emptied || e2e_fail "flag rows [$(monpage_rows 1030 | tr '\n\t' '; ')] or an enabled page with nothing selected" ||
        return 1
    tray_unload "$agent"
}

# A monitor's "&Properties" opens the page with that monitor selected, the
# first time and when the page exists already.
case_monitors_page_preselect() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    monitor_open 1 "$MONITOR_WLAN" || return 1
    monitor_menu "$MONITOR_WLAN" $VK_DOWN $VK_RETURN || return 1
    monpage_find "$MONITOR_WLAN" || return 1
    monitor_open 0 "$MONITOR_LAN" || return 1
    monitor_menu "$MONITOR_LAN" $VK_DOWN $VK_RETURN || return 1
    monpage_find "$MONITOR_LAN" || return 1
    tray_unload "$agent"
}

# With no monitorable interface, or a service that fails the list,
# the list holds its message row alone, and row 0 - that row - is selected;
# the page stays disabled, as the row carries no monitor.
case_monitors_page_message_row() {
    local scenario="$E2E_TMP/unbound.scn"
    {
        echo "first-word 0x00010002"
        echo "add-interface usb name=\"USB Ethernet Adapter\" flags=supported,connected"
    } >"$scenario"
    e2e_sim_start "$scenario" || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    tray_choose $KEY_PREFERENCES || e2e_fail "the menu did not take the choice" || return 1
    prefs_select 2 || return 1
    monpage_find "Bound adapters were not found!" || return 1
    ! monpage_enabled 1058 && ! monpage_enabled 1030 || e2e_fail "page enabled by the message row" || return 1
    # The service's own failures take the same row; a configuration event
    # lists the page again.
    local fault
    for fault in "not-started:ZorvanHService is not started!" "wrong-version:Bad version of ZorvanHService!"; do
        e2e_simctl fault "${fault%%:*}" code=1 >/dev/null || e2e_fail "simulator refused the fault ${fault%%:*}" || return 1
        e2e_simctl signal conf >/dev/null
        monpage_find "${fault#*:}" || return 1
        ! monpage_enabled 1058 && ! monpage_enabled 1030 || e2e_fail "page enabled by the row \"${fault#*:}\"" || return 1
        e2e_simctl clear-fault all >/dev/null
    done
    tray_unload "$agent"
}

# A button pressed as a click does; what it changes is awaited by the caller.
monpage_click() {
    tray_driver press "hwnd:$MONPAGE" "$1" >/dev/null || e2e_fail "cannot press $1"
}

# monpage_selected: "row:text" of every selected interface row.
monpage_selected() {
    monpage_rows 1029 | awk -F'\t' '$2 == 1 { printf "%s%s:%s", sep, $1, $5; sep = "|" }'
}

monpage_selected_is() {
    [ "$(monpage_listed)" = "$1" ] && [ "$(monpage_selected)" = "$2" ]
}

monpage_listed() {
    monpage_rows 1029 | cut -f5 | paste -sd'|'
}

monpage_reg_is() {
    [ "$(monpage_reg "$1" "$2")" = "$3" ]
}

# A refresh selects again what was selected by the interface's identifier:
# not by the row, which the removal of an interface above it moves, nor by
# the name, which the service may change; "&Apply" then writes to that
# interface's key alone.
case_monitors_page_reselect() {
    local scenario="$E2E_TMP/three.scn" id_a="{0A1B2C3D-0000-4000-8000-00000000000A}"
    local id_b="{0A1B2C3D-0000-4000-8000-00000000000B}" id_c="{0A1B2C3D-0000-4000-8000-00000000000C}"
    {
        echo "add-interface a name=\"Alpha Adapter\" id=$id_a flags=supported,connected,bound,binding-active"
        echo "add-interface b name=\"Beta Adapter\" id=$id_b flags=supported,bound"
        echo "add-interface c name=\"Gamma Adapter\" id=$id_c flags=supported,bound"
    } >"$scenario"
    e2e_sim_start "$scenario" || return 1
    monpage_store 0000 "$id_a" 10 100 60 && monpage_store 0001 "$id_b" 20 100 300 &&
        monpage_store 0002 "$id_c" 30 100 540 || return 1
    cat "$E2E_TMP/monpage-0000.reg" <(tail -n +3 "$E2E_TMP/monpage-0001.reg") <(tail -n +3 "$E2E_TMP/monpage-0002.reg") \
        >"$E2E_TMP/monpage.reg"
    e2e_wine reg import "$(e2e_winpath "$E2E_TMP/monpage.reg")" >/dev/null 2>&1 || e2e_fail "cannot import the monitors" ||
        return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    tray_choose $KEY_PREFERENCES || e2e_fail "the menu did not take the choice" || return 1
    prefs_select 2 || return 1
    monpage_find "Alpha Adapter" || return 1
    tray_driver lv-select "hwnd:$MONPAGE" 1029 2 on >/dev/null &&
        tray_driver lv-select "hwnd:$MONPAGE" 1029 0 off >/dev/null || e2e_fail "cannot select the third row alone" || return 1
    monpage_expect_text 1999 "$MONPAGE_LEVEL 30%" || return 1

    e2e_simctl remove-interface a >/dev/null || e2e_fail "simulator refused the removal" || return 1
    e2e_until 40 monpage_selected_is "Beta Adapter|Gamma Adapter" "1:Gamma Adapter" ||
        e2e_fail "after the removal: rows \"$(monpage_listed)\", selected \"$(monpage_selected)\"" || return 1
    e2e_simctl set-interface c "name=Gamma Adapter Renamed" >/dev/null || e2e_fail "simulator refused the name" || return 1
    e2e_until 40 monpage_selected_is "Beta Adapter|Gamma Adapter Renamed" "1:Gamma Adapter Renamed" ||
        e2e_fail "after the new name: rows \"$(monpage_listed)\", selected \"$(monpage_selected)\"" || return 1
    monpage_expect_text 1999 "$MONPAGE_LEVEL 30%" || return 1
    e2e_shot monitors-page-reselected

    monpage_slide 70 || return 1
    monpage_expect_text 1999 "$MONPAGE_LEVEL 70%*" || return 1
    monpage_click 1052 || return 1
    e2e_until 20 monpage_reg_is "$MONITORS_KEY\\0002" TransparentLevel "REG_DWORD 0x46" ||
        e2e_fail "the selected monitor's key holds $(monpage_reg "$MONITORS_KEY\\0002" TransparentLevel)" || return 1
    [ "$(monpage_reg "$MONITORS_KEY\\0000" TransparentLevel)" = "REG_DWORD 0xa" ] &&
        [ "$(monpage_reg "$MONITORS_KEY\\0001" TransparentLevel)" = "REG_DWORD 0x14" ] ||
        e2e_fail "another key changed: $(monpage_reg "$MONITORS_KEY\\0000" TransparentLevel)," \
            "$(monpage_reg "$MONITORS_KEY\\0001" TransparentLevel)" || return 1
    tray_unload "$agent"
}

monpage_question() {
    local out text wanted
    out=$(tray_driver msgbox "$MONPAGE_TITLE" --timeout 5000) || { e2e_fail "no question before restoring"; return 1; }
    text=$(printf '%s\n' "$out" | tr -d '\r' | sed -n '/^text=/,$p' | sed '1s/^text=//')
    wanted=$(printf '%s\n' 'Do you want to restore default settings' 'for selected network interface(s)?')
    [ "$text" = "$wanted" ] || { e2e_fail "the question says \"$text\""; return 1; }
    tray_driver press "$MONPAGE_TITLE" 7 --msgbox --timeout 3000 >/dev/null || { e2e_fail "cannot answer No"; return 1; }
    tray_driver wait-gone "$MONPAGE_TITLE" --timeout 3000 >/dev/null || e2e_fail "the question stayed after No"
}

# "&Restore Defaults" answered No writes nothing and keeps the page as it
# was, unapplied changes included, which "&Apply" still writes afterwards.
# The click itself, as every button's, enables "&Apply" and "Ca&ncel".
case_monitors_page_restore_no() {
    e2e_sim_start default.scn "set-interface lan rx-rate=0 tx-rate=0" || return 1
    monpage_store 0000 "$MONITOR_LAN_ID" 30 1040 60 || return 1
    monpage_store 0001 "$MONITOR_WLAN_ID" 51 1040 300 PopupWhenConnected || return 1
    monpage_import || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID before after got row image
    tray_choose $KEY_PREFERENCES || e2e_fail "the menu did not take the choice" || return 1
    prefs_select 2 || return 1
    monpage_find "$MONITOR_LAN" || return 1
    # The page's loads complete each key; what they leave is the reference.
    before=$(e2e_wine reg query "$MONITORS_KEY" /s | tr -d '\r')
    monpage_expect_text 1999 "$MONPAGE_LEVEL 30%" || return 1
    ! monpage_enabled 1052 || e2e_fail "\"&Apply\" enabled before any change" || return 1

    monpage_click 1058 || return 1
    monpage_question || return 1
    after=$(e2e_wine reg query "$MONITORS_KEY" /s | tr -d '\r')
    [ "$after" = "$before" ] || e2e_fail "No changed the stored monitors" || return 1
    monpage_expect_text 1999 "$MONPAGE_LEVEL 30%" || return 1
    got=$(tray_driver send "hwnd:$(monpage_control 1056)" $TBM_GETPOS | tr -d '\r')
    [ "$got" = 0x1e ] || e2e_fail "slider at $got after No" || return 1
    [ "$(monpage_selected)" = "0:$MONITOR_LAN" ] || e2e_fail "selection after No: $(monpage_selected)" || return 1
    [ -z "$(monpage_rows 1030 | awk -F'\t' '$5 ~ /\*$/')" ] || e2e_fail "a flag is marked after No" || return 1
    monpage_expect_text 1065 "Extented parameters" && monpage_expect_text 1064 "Color adjustment" || return 1
    monpage_enabled 1052 && monpage_enabled 1053 && monpage_enabled 1058 ||
        e2e_fail "the click left \"&Apply\", \"Ca&ncel\" or \"&Restore Defaults\" disabled" || return 1

    # Unapplied changes outlive the No.
    monpage_slide 60 || return 1
    monpage_expect_text 1999 "$MONPAGE_LEVEL 60%*" || return 1
    read -r row image _ <<<"$(monpage_flag "Enable vertical lines")"
    [ -n "$row" ] || e2e_fail "no row \"Enable vertical lines\"" || return 1
    tray_driver lv-select "hwnd:$MONPAGE" 1030 "$row" on >/dev/null &&
        tray_driver key "hwnd:$(monpage_control 1030)" $VK_SPACE >/dev/null || e2e_fail "cannot toggle the flag" || return 1
    monpage_expect_text 1065 "Extented parameters*" || return 1
    monpage_click 1058 || return 1
    monpage_question || return 1
    after=$(e2e_wine reg query "$MONITORS_KEY" /s | tr -d '\r')
    [ "$after" = "$before" ] || e2e_fail "No changed the stored monitors" || return 1
    monpage_expect_text 1999 "$MONPAGE_LEVEL 60%*" && monpage_expect_text 1065 "Extented parameters*" || return 1
    got=$(monpage_flag "Enable vertical lines")
    [ "$got" = "$row 0 Enable vertical lines*" ] || e2e_fail "the toggled row is \"$got\" after No" || return 1
    monpage_click 1052 || return 1
    e2e_until 20 monpage_reg_is "$LAN_KEY" TransparentLevel "REG_DWORD 0x3c" &&
        monpage_reg_is "$LAN_KEY" EnableVerticalLines "REG_BINARY 01" ||
        e2e_fail "applied after No: $(monpage_reg "$LAN_KEY" TransparentLevel)," \
            "$(monpage_reg "$LAN_KEY" EnableVerticalLines)" || return 1
    tray_unload "$agent"
}

e2e_case monitors-page case_monitors_page
e2e_case monitors-page-preselect case_monitors_page_preselect
e2e_case monitors-page-message-row case_monitors_page_message_row
e2e_case monitors-page-reselect case_monitors_page_reselect
e2e_case monitors-page-restore-no case_monitors_page_restore_no
