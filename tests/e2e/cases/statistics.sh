# The statistics window against statistics.scn: every value field, the
# connection combo's order, service errors, and the clear dialogs with the
# requests they cause.

STATS_MAIN="ZorvanHAgent Preferences - "
STATS_WINDOW="ZorvanHAgent Interface Statistics"
STATS_CLEAR="ZorvanHAgent Clear Statistics..."
STATS_LAN="Gigabit Ethernet Adapter (PCI)"
CB_SETCURSEL=0x014E
WM_COMMAND=0x0111
CBN_SELCHANGE=1

# The tray icon's double-click, as the notification area sends it.
stats_open() {
    e2e_driver wait-window "$STATS_MAIN" --timeout 10000 >/dev/null ||
        e2e_fail "no main window" || return 1
    e2e_driver post "$STATS_MAIN" 0x80C8 0 0x203 --timeout 3000 >/dev/null ||
        e2e_fail "main window does not take the tray message" || return 1
    e2e_expect_window "$STATS_WINDOW" 8000
}

# A case on a virtual desktop sets STATS_DRIVER=tray_driver.
stats_text() {
    ${STATS_DRIVER:-e2e_driver} text "$STATS_WINDOW" "$1" | tr -d '\r'
}

# stats_expect <control-id> <text|~regex> [seconds]: the field shows it.
stats_expect() {
    local id=$1 want=$2 limit=$((${3:-8} * 4)) tries=0 seen=""
    while [ $tries -le $limit ]; do
        seen=$(stats_text "$id")
        if [ "${want:0:1}" = "~" ]; then
            [[ "$seen" =~ ${want:1} ]] && return 0
        else
            [ "$seen" = "$want" ] && return 0
        fi
        sleep 0.25
        tries=$((tries + 1))
    done
    e2e_fail "field $id shows \"$seen\", not \"$want\""
}

# stats_choose <combo-id> <index>: as a user picks an item.
stats_choose() {
    local combo
    combo=$(e2e_driver list-children "$STATS_WINDOW" | tr -d '\r' | awk -F'\t' -v id="$1" '$2 == id { print $1; exit }')
    [ -n "$combo" ] || { e2e_fail "no combo $1"; return 1; }
    e2e_driver send "hwnd:$combo" $CB_SETCURSEL "$2" 0 >/dev/null
    e2e_driver send "$STATS_WINDOW" $WM_COMMAND $(((CBN_SELCHANGE << 16) | $1)) "$((combo))" >/dev/null
}

# The walk down the fields of the first interface and three connections.
case_statistics_fields() {
    e2e_sim_start statistics.scn || return 1
    e2e_agent_start
    local agent=$E2E_LAST_PID
    stats_open || return 1
    stats_expect 1001 "$STATS_LAN" || return 1
    # The options' defaults: no milliseconds, no hardware headers.
    stats_expect 1081 "Statistics * without hardware headers *" || return 1
    stats_expect 1002 "~^[A-Z][a-z]+day, March 0[34], 2023 [0-9]{2}:[0-9]5:07$" || return 1
    stats_expect 1016 "~^[A-Z][a-z]+day, (May 31|June 01), 2024 [0-9]{2}:[0-9]0:00$" || return 1
    stats_expect 1003 "~^[A-Z][a-z]+day, November (19|20|21), 2025 [0-9]{2}:[0-9]5:59$" || return 1
    stats_expect 1004 "~^1 day\(s\), 01:0[1-9]:[0-9]{2}$" || return 1
    stats_expect 1005 "7" || return 1
    # Bytes past 2^32, spread over three counters.
    stats_expect 1008 "4,311,744,512 / 3,100,000" || return 1
    stats_expect 1009 "6,442,450,944 / 4,294,970,000" || return 1
    stats_expect 1020 "~^Overall \(Current Time: [0-9]{2}:[0-9]{2}:[0-9]{2}\) $" || return 1
    # The reply lists All, Office (Office LAN, Print server), Remote (Dial-in);
    # the combo shows that reversed, each group below its connections, and
    # starts on its first item.
    stats_expect 1007 "Dial-in" || return 1
    stats_expect 1013 "*** Not connected ***" || return 1
    stats_expect 1017 "Will be removed in 42 sec..." || return 1

    stats_choose 1007 3 || return 1
    stats_expect 1007 "Office LAN" || return 1
    stats_expect 1006 "0 day(s), 01:01:01" || return 1
    stats_expect 1010 "2,147,483,648 / 2,100,000" || return 1
    stats_expect 1011 "5,368,709,120 / 3,900,000" || return 1
    stats_expect 1013 "100 Mbps" || return 1
    stats_expect 1017 "Rcv: 2.4 Mbps / Snd: 300 Kbps" || return 1

    # Options changed in the registry take effect on 0x8065: headers counted,
    # milliseconds shown, averages in bytes.
    local key="$E2E_AGENT_KEY\StatisticWindow" name
    for name in HideMSInTime DontConsiderHardwareHeaders; do
        e2e_wine reg add "$key" /v $name /t REG_BINARY /d 00 /f >/dev/null || e2e_fail "reg add $name" || return 1
    done
    e2e_wine reg add "$key" /v AverageSpeedInBytesPerSecond /t REG_BINARY /d 01 /f >/dev/null
    e2e_driver send "$STATS_WINDOW" 0x8065 --timeout 5000 >/dev/null || e2e_fail "0x8065 not taken" || return 1
    stats_expect 1081 "Statistics " || return 1
    stats_expect 1007 "Office LAN" || return 1
    stats_expect 1008 "4,311,745,012 / 3,100,000" || return 1
    stats_expect 1009 "6,442,451,944 / 4,294,970,000" || return 1
    stats_expect 1002 "~^[A-Z][a-z]+day, March 0[34], 2023 [0-9]{2}:[0-9]5:07\.250$" || return 1
    stats_expect 1006 "0 day(s), 01:01:01.250" || return 1
    stats_expect 1010 "2,147,483,680 / 2,100,000" || return 1
    stats_expect 1011 "5,368,709,184 / 3,900,000" || return 1
    stats_expect 1017 "Rcv: 300 KByps / Snd: 37.5 KByps" || return 1
    stats_expect 1013 "100 Mbps" || return 1
    stats_expect 1020 "~^Overall \(Current Time: [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}\) $" || return 1
    e2e_shot statistics-window

    stats_choose 1007 2 || return 1
    stats_expect 1007 "Print server" || return 1
    stats_expect 1013 "*** Not connected ***" || return 1
    stats_expect 1017 "" || return 1

    stats_choose 1007 5 || return 1
    stats_expect 1007 "All connections" || return 1
    stats_expect 1013 "has 3 connection(s)" || return 1
    stats_expect 1010 "8,000 / 8" || return 1

    # The other interface has no groups at all.
    stats_choose 1001 1 || return 1
    stats_expect 1001 "Wireless LAN Adapter 802.11g" || return 1
    stats_expect 1007 "No connection was found." || return 1
    stats_expect 1009 "5,000,000,000 / 12" || return 1

    # Hidden with Escape, it opens again on the interface it showed.
    e2e_driver send "$STATS_WINDOW" $WM_COMMAND 2 0 >/dev/null
    e2e_driver wait-gone "$STATS_WINDOW" --timeout 5000 >/dev/null || e2e_fail "Escape did not hide the window" || return 1
    stats_open || return 1
    stats_expect 1001 "Wireless LAN Adapter 802.11g" || return 1
    e2e_driver send "$STATS_WINDOW" $WM_COMMAND 1 0 >/dev/null
    e2e_driver wait-gone "$STATS_WINDOW" --timeout 5000 >/dev/null || e2e_fail "Hide did not hide the window" || return 1
    e2e_unload "$agent" || return 1
    e2e_ledger_clean 10
}

# stats_expect_error <fault words> <combo text>
stats_expect_error() {
    e2e_simctl fault $1 code=1 >/dev/null || { e2e_fail "fault refused: $1"; return 1; }
    e2e_simctl signal conf >/dev/null
    stats_expect 1001 "$2" || return 1
    e2e_simctl clear-fault all >/dev/null
}

case_statistics_errors() {
    e2e_sim_start statistics.scn "fault not-started code=1" || return 1
    e2e_agent_start
    local agent=$E2E_LAST_PID
    stats_open || return 1
    stats_expect 1001 "ZorvanHService is not started!" || return 1
    stats_expect 1002 "" || return 1
    e2e_simctl clear-fault all >/dev/null
    stats_expect_error "wrong-version" "Bad version of ZorvanHService!" || return 1
    stats_expect_error "status status=0xC0FE0005" "ZorvanHService return error!" || return 1
    stats_expect_error "truncate bytes=32" "Bound adapters were not found!" || return 1
    # A configuration change brings the list back.
    e2e_simctl signal conf >/dev/null
    stats_expect 1001 "$STATS_LAN" || return 1
    stats_expect 1008 "4,311,744,512 / 3,100,000" || return 1
    # A short statistics reply leaves the overall fields as they were; a
    # failing connection list shows in its combo.
    local reads
    reads=$(e2e_simctl count 2)
    e2e_simctl fault truncate code=2 bytes=215 >/dev/null
    e2e_simctl set-interface lan tx-bytes=1000 >/dev/null
    # Two of the window's once-a-second reads have had the short reply.
    e2e_wait_count 2 $((reads + 2)) 5 || return 1
    stats_expect 1008 "4,311,744,512 / 3,100,000" || return 1
    e2e_simctl clear-fault all >/dev/null
    stats_expect 1008 "1,000 / 3,100,000" || return 1
    e2e_simctl fault status code=4 >/dev/null
    e2e_simctl signal conf >/dev/null
    stats_expect 1007 "No connection was found." || return 1
    e2e_simctl clear-fault all >/dev/null
    e2e_unload "$agent" || return 1
    e2e_ledger_clean 5
}

stats_requests() {
    e2e_simctl requests | tr -d '\r'
}

stats_requested() {
    stats_requests | grep -qw "$1"
}

# stats_clear <button> [check] <answer>: runs a clear dialog to its end.
stats_clear() {
    e2e_driver press "$STATS_WINDOW" "$1" >/dev/null
    e2e_expect_window "$STATS_CLEAR" 5000 || return 1
    [ "$2" = check ] && { e2e_driver press "$STATS_CLEAR" 1021 --click >/dev/null; shift; }
    e2e_driver press "$STATS_CLEAR" "$2" >/dev/null
    e2e_driver wait-gone "$STATS_CLEAR" --timeout 5000 >/dev/null || e2e_fail "clear dialog stays" || return 1
}

case_statistics_clear() {
    e2e_sim_start statistics.scn || return 1
    e2e_agent_start
    local agent=$E2E_LAST_PID
    stats_open || return 1
    stats_expect 1007 "Dial-in" || return 1
    stats_choose 1007 3 || return 1
    stats_expect 1010 "2,147,483,648 / 2,100,000" || return 1

    # A network status change re-lists the connections and keeps the choice.
    e2e_simctl requests reset >/dev/null
    e2e_simctl signal status >/dev/null
    e2e_until 20 stats_requested '4:f7f' || e2e_fail "status change did not re-list: $(stats_requests)" || return 1
    stats_expect 1007 "Office LAN" || return 1

    # The current-clear dialog names interface and connection on two lines.
    e2e_driver press "$STATS_WINDOW" 1014 >/dev/null
    e2e_expect_window "$STATS_CLEAR" 5000 || return 1
    local text reads
    text=$(e2e_driver text "$STATS_CLEAR" 1002 | tr '\r\n' '|')
    [ "$text" = "$STATS_LAN||Office LAN|" ] || e2e_fail "clear dialog shows \"$text\"" || return 1
    e2e_simctl requests reset >/dev/null
    e2e_driver press "$STATS_CLEAR" 2 >/dev/null
    e2e_driver wait-gone "$STATS_CLEAR" --timeout 5000 >/dev/null || e2e_fail "cancel leaves the dialog" || return 1
    # A clear would come before the window's next two reads.
    reads=$(e2e_simctl count 2)
    e2e_wait_count 2 $((reads + 2)) 5 || return 1
    stats_requests | grep -qE '(^| )(3|4:[0-9a-f]*[123c][0-9a-f]{3})( |$)' &&
        { e2e_fail "cancel sent a clear: $(stats_requests)"; return 1; }
    stats_expect 1010 "2,147,483,648 / 2,100,000" || return 1

    # Confirmed: the connection's own clear bit, and the window rebuilt on it.
    stats_clear 1014 1 || return 1
    stats_expect 1007 "Office LAN" || return 1
    stats_expect 1010 "0 / 0" || return 1
    stats_requests | grep -qw '4:251f' || e2e_fail "no 0x2000 clear: $(stats_requests)" || return 1
    stats_expect 1008 "4,311,744,512 / 3,100,000" || return 1

    # A group's clear bit.
    stats_choose 1007 4 || return 1
    stats_expect 1007 "Office" || return 1
    stats_expect 1010 "6,000 / 6" || return 1
    e2e_simctl requests reset >/dev/null
    stats_clear 1014 1 || return 1
    stats_expect 1007 "Office" || return 1
    stats_expect 1010 "0 / 0" || return 1
    stats_requests | grep -qw '4:179f' || e2e_fail "no 0x1000 clear: $(stats_requests)" || return 1

    # Overall with "all current too": request 3, then 0xC000 in the same update.
    e2e_simctl requests reset >/dev/null
    stats_clear 1015 check 1 || return 1
    stats_expect 1009 "0 / 0" || return 1
    stats_expect 1008 "0 / 0" || return 1
    stats_requests | grep -qE '(^| )3 4:[0-9a-f]*c[0-9a-f]{3}( |$)' ||
        e2e_fail "no request 3 followed by a 0xC000 query: $(stats_requests)" || return 1
    e2e_shot statistics-cleared
    e2e_unload "$agent" || return 1
    e2e_ledger_clean 10
}

e2e_case statistics-fields case_statistics_fields
e2e_case statistics-errors case_statistics_errors
e2e_case statistics-clear case_statistics_clear
