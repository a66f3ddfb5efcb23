# Harness procedures for the end-to-end cases: a private wine prefix and X
# display, the simulator, the agent, and checks through AgentDriver.exe.
# Source it from bash; everything it starts is remembered and stopped by
# e2e_cleanup, and nothing else is ever stopped.

E2E_BIN=""
E2E_ARTIFACTS=""
E2E_TMP=""
E2E_LOG=/dev/null
E2E_XVFB_PID=""
E2E_SIM_PID=""
E2E_AGENT_PIDS=()
E2E_LAST_PID=""
E2E_EXIT_CODE=""
E2E_REASON=""
E2E_DESKTOP=""
E2E_PREFIX_READY=0
E2E_SCENARIOS=""
E2E_LEDGER=""
E2E_EXIT_WINDOW="ZorvanHAgent Exit Window"
E2E_TITLE="ZorvanHAgent"
E2E_AGENT_KEY='HKLM\Software\Merovax\ZorvanHAgent'

e2e_log() {
    printf '%s %s\n' "$(date +%T)" "$*" >>"$E2E_LOG"
}

# Records the first reason of a case's failure; always returns 1 so a check
# reads "condition || e2e_fail reason || return 1".
e2e_fail() {
    [ -n "$E2E_REASON" ] || E2E_REASON="$*"
    e2e_log "FAIL: $*"
    return 1
}

e2e_winpath() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

e2e_sleep_ms() {
    sleep "$(printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)))"
}

# Wine's own programs (reg, explorer) run as the agent's architecture, so
# reg sees the registry view the agent writes to and the virtual desktop's
# taskbar is a process the driver can read.
E2E_ARCH=""
E2E_WINE_OWN=wine

# e2e_pe_arch <exe>: 32 or 64, from the machine field of the PE header.
e2e_pe_arch() {
    local offset machine
    offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ') || return 1
    machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' ') || return 1
    case $machine in
        8664) echo 64 ;;
        014c) echo 32 ;;
        *) return 1 ;;
    esac
}

# Wine commands that return on their own; the time limit only guards
# against a hung prefix.
e2e_wine() {
    timeout -k 2 60 "$E2E_WINE_OWN" "$@" 2>>"$E2E_LOG"
}

# The driver runs once per run (AgentDriver.exe --serve) behind two FIFOs
# that this shell holds open read-write, so a driver restarted from any
# subshell finds them as they were. Calls made in a subshell cannot update
# variables here, hence the pid and the retry count live in files.
E2E_DRIVER_IN=57
E2E_DRIVER_OUT=58
E2E_DRIVER_OPEN=0

e2e_driver_start() {
    local in="$E2E_TMP/driver.in" out="$E2E_TMP/driver.out"
    if [ "$E2E_DRIVER_OPEN" = 0 ]; then
        mkfifo "$in" "$out" || return 1
        eval "exec $E2E_DRIVER_IN<>\"\$in\" $E2E_DRIVER_OUT<>\"\$out\"" || return 1
        E2E_DRIVER_OPEN=1
        : >"$E2E_TMP/transport-retries"
    fi
    eval "wine \"\$E2E_BIN/AgentDriver.exe\" --serve <\"\$in\" >\"\$out\" 2>>\"\$E2E_LOG\" $E2E_DRIVER_IN>&- $E2E_DRIVER_OUT>&- &"
    echo $! >"$E2E_TMP/driver.pid"
    e2e_log "driver pid $!"
}

e2e_driver_stop() {
    local pid
    [ "$E2E_DRIVER_OPEN" = 1 ] || return 0
    read -r pid <"$E2E_TMP/driver.pid" 2>/dev/null && [ -n "$pid" ] && e2e_kill_own "$pid"
    eval "exec $E2E_DRIVER_IN>&- $E2E_DRIVER_OUT>&-"
    E2E_DRIVER_OPEN=0
}

# A dead or hung driver is the harness's own fault: it is ended, whatever
# it left unread is dropped, and a fresh one takes the call again.
e2e_driver_restart() {
    local pid junk
    read -r pid <"$E2E_TMP/driver.pid" 2>/dev/null && [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    while IFS= read -r -t 0.05 -u "$E2E_DRIVER_IN" junk; do :; done
    e2e_driver_start
}

# e2e_driver_once <seconds> <words...>: one request and its answer; 250
# when the transport failed (driver dead, or no answer in time).
e2e_driver_once() {
    local limit=$1 pid id line partial="" out="" started=0 waited=0
    shift
    read -r pid <"$E2E_TMP/driver.pid" 2>/dev/null
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 250
    id="$BASHPID.${EPOCHREALTIME/./}"
    { printf '%s' "$id"; printf '\037%s' "$@"; printf '\n'; } >&"$E2E_DRIVER_IN"
    while :; do
        if IFS= read -r -t 1 -u "$E2E_DRIVER_OUT" line; then
            line=$partial$line
            partial=""
            case $line in
                $'\036'"$id begin") started=1 ;;
                $'\036'"$id "*) E2E_DRIVER_OUTPUT=$out; return "${line##* }" ;;
                *) [ $started = 1 ] && out+=$line$'\n' ;;
            esac
        else
            # A line cut by the time-out is kept for the next read.
            partial+=$line
            waited=$((waited + 1))
            kill -0 "$pid" 2>/dev/null || { e2e_log "driver $pid died during: $*"; return 250; }
            [ $waited -lt "$limit" ] || { e2e_log "driver $pid gave no answer in $limit s to: $*"; return 250; }
        fi
    done
}

# e2e_driver <command> [words] [--timeout ms] ...: prints the output; the
# exit code is the driver's (0 met, 1 not met, 2 usage), 124 when even a
# fresh driver failed. Each call is logged with its time and answer.
e2e_driver() {
    local ms=5000 i next rc attempt start shown
    for ((i = 1; i < $#; i++)); do
        next=$((i + 1))
        [ "${!i}" = --timeout ] && ms=${!next}
    done
    for attempt in 1 2; do
        start=${EPOCHREALTIME/./}
        E2E_DRIVER_OUTPUT=""
        e2e_driver_once $((ms / 1000 + 15)) "$@"
        rc=$?
        shown=${E2E_DRIVER_OUTPUT:0:400}
        e2e_log "driver $* -> $rc in $(((${EPOCHREALTIME/./} - start) / 1000)) ms: ${shown//$'\n'/|}"
        [ $rc -ne 250 ] && { printf '%s' "$E2E_DRIVER_OUTPUT"; return $rc; }
        echo "$*" >>"$E2E_TMP/transport-retries"
        [ $attempt = 1 ] && e2e_driver_restart
    done
    return 124
}

e2e_transport_retries() {
    [ -f "$E2E_TMP/transport-retries" ] && wc -l <"$E2E_TMP/transport-retries" || echo 0
}

e2e_simctl() {
    local rc
    e2e_driver sim "$@" | tr -d '\r'
    rc=${PIPESTATUS[0]}
    return "$rc"
}

e2e_start_xvfb() {
    local n
    for n in $(seq 90 199); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -nolisten tcp -screen 0 1280x800x24 >>"$E2E_LOG" 2>&1 &
        E2E_XVFB_PID=$!
        local waited=0
        while [ $waited -lt 50 ]; do
            # The socket may be another run's that took the number first;
            # the lock names the server that owns the display.
            if [ -e "/tmp/.X11-unix/X$n" ] && [ "$(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null)" = "$E2E_XVFB_PID" ]; then
                export DISPLAY=":$n"
                e2e_log "Xvfb pid $E2E_XVFB_PID on $DISPLAY"
                return 0
            fi
            kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
            sleep 0.1
            waited=$((waited + 1))
        done
        # Lost a race for this number, or it never came up: try the next.
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
        E2E_XVFB_PID=""
    done
    return 1
}

e2e_prepare_prefix() {
    export WINEPREFIX="$E2E_TMP/prefix"
    export WINEDEBUG=-all
    # No mono or gecko in an offline prefix, and no dialog asking for them.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
    mkdir -p "$WINEPREFIX"
    E2E_PREFIX_READY=1
    timeout -k 2 120 wineboot -i >>"$E2E_LOG" 2>&1 || return 1
    # E2E_DPI=<n> runs the prefix at that many dots per inch ("large fonts"
    # is 120). A wine process reads the value when it starts, so the
    # processes wineboot left are ended before anything else starts.
    if [ -n "${E2E_DPI:-}" ]; then
        e2e_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$E2E_DPI" /f >>"$E2E_LOG" || return 1
        wineserver -k >>"$E2E_LOG" 2>&1
        wineserver -w >>"$E2E_LOG" 2>&1
    fi
    # A persistent server keeps every later wine call quick.
    wineserver -p >>"$E2E_LOG" 2>&1
    return 0
}

# A kernel with 32-bit emulation off runs no 32-bit wine, and the "wine"
# launcher always tries the 32-bit loader first once wine32 is installed.
# Then every wine command of the run goes to the 64-bit loader.
e2e_wine64_only() {
    [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1 || return 0
    [ "$E2E_ARCH" = 64 ] || { e2e_fail "this machine runs no 32-bit programs (32-bit emulation is off)"; return 1; }
    mkdir -p "$E2E_TMP/bin" || return 1
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$E2E_TMP/bin/wine" || return 1
    chmod +x "$E2E_TMP/bin/wine" && cp "$E2E_TMP/bin/wine" "$E2E_TMP/bin/wine-stable" || return 1
    export PATH="$E2E_TMP/bin:$PATH" WINELOADER=/usr/lib/wine/wine64
    e2e_log "32-bit programs do not run here: wine means the 64-bit loader"
}

# e2e_setup <bin-dir> <artifacts-dir>
e2e_setup() {
    E2E_BIN=$(realpath -m "$1")
    E2E_ARTIFACTS=$(realpath -m "$2")
    E2E_SCENARIOS=${E2E_SCENARIOS:-$(realpath -m "$(dirname "${BASH_SOURCE[0]}")/../../standin/scenarios")}
    mkdir -p "$E2E_ARTIFACTS" || return 1
    E2E_LOG="$E2E_ARTIFACTS/run${E2E_SHARD:+-$E2E_SHARD}.log"
    : >"$E2E_LOG"
    local exe
    for exe in ZorvanHAgent.exe ZorvanHServiceIO.dll ZorvanHSim.exe ZorvanHSimCtl.exe AgentDriver.exe; do
        [ -f "$E2E_BIN/$exe" ] || { e2e_fail "missing $E2E_BIN/$exe"; return 1; }
    done
    E2E_ARCH=$(e2e_pe_arch "$E2E_BIN/ZorvanHAgent.exe") || { e2e_fail "cannot tell the agent's architecture"; return 1; }
    # With 32-bit wine installed, plain "wine" starts wine's own programs
    # as 32-bit ones; 64-bit ones need the 64-bit loader.
    if [ "$E2E_ARCH" = 64 ] && [ -x /usr/lib/wine/wine64 ]; then
        E2E_WINE_OWN=/usr/lib/wine/wine64
    elif [ "$E2E_ARCH" = 32 ] && ! [ -x /usr/lib/wine/wine ]; then
        e2e_fail "32-bit agent but no 32-bit wine (apt-get install wine32:i386)"
        return 1
    fi
    E2E_TMP=$(mktemp -d /tmp/zorvanh-e2e.XXXXXX) || return 1
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    e2e_wine64_only || return 1
    if [ "${E2E_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
        e2e_log "using DISPLAY $DISPLAY"
    else
        e2e_start_xvfb || { e2e_fail "no free X display for Xvfb"; return 1; }
    fi
    e2e_prepare_prefix || { e2e_fail "wineboot failed"; return 1; }
    e2e_log "prefix $WINEPREFIX ready; $E2E_ARCH-bit agent, wine's own programs through $E2E_WINE_OWN"
    e2e_driver_start || { e2e_fail "cannot start the driver"; return 1; }
}

e2e_cleanup() {
    e2e_case_teardown
    e2e_driver_stop
    if [ "$E2E_PREFIX_READY" = 1 ] && [ "$WINEPREFIX" = "$E2E_TMP/prefix" ]; then
        wineserver -k >>"$E2E_LOG" 2>&1
        E2E_PREFIX_READY=0
    fi
    if [ -n "$E2E_XVFB_PID" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
        E2E_XVFB_PID=""
    fi
    case "$E2E_TMP" in
        /tmp/zorvanh-e2e.*) rm -rf "$E2E_TMP" ;;
    esac
    E2E_TMP=""
}

# e2e_wait_exit <pid> <seconds>: sets E2E_EXIT_CODE; 1 when still running.
e2e_wait_exit() {
    local pid=$1 limit=$(($2 * 10)) waited=0
    while kill -0 "$pid" 2>/dev/null; do
        [ $waited -ge "$limit" ] && return 1
        sleep 0.1
        waited=$((waited + 1))
    done
    wait "$pid" 2>/dev/null
    E2E_EXIT_CODE=$?
    return 0
}

e2e_kill_own() {
    local pid=$1
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
    kill "$pid" 2>/dev/null
    e2e_wait_exit "$pid" 3 || { kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
}

e2e_scenario_path() {
    case "$1" in
        /*) printf '%s' "$1" ;;
        *) printf '%s/%s' "$E2E_SCENARIOS" "$1" ;;
    esac
}

# e2e_sim_start <scenario> [command...]: starts the simulator, waits until it
# answers, then gives it each command (a fault, say) before the agent comes.
e2e_sim_start() {
    local file command
    file=$(e2e_scenario_path "$1")
    shift
    [ -f "$file" ] || { e2e_fail "no scenario $file"; return 1; }
    wine "$E2E_BIN/ZorvanHSim.exe" "$(e2e_winpath "$file")" >>"$E2E_LOG" 2>&1 &
    E2E_SIM_PID=$!
    e2e_log "simulator pid $E2E_SIM_PID with $file"
    local tries=0 ready=0
    while [ $tries -lt 50 ]; do
        [ "$(e2e_simctl ping 2>/dev/null)" = ok ] && { ready=1; break; }
        kill -0 "$E2E_SIM_PID" 2>/dev/null || break
        sleep 0.2
        tries=$((tries + 1))
    done
    [ $ready = 1 ] || { e2e_fail "simulator with $file does not answer ping"; return 1; }
    # A scenario's timed changes land wherever a case happens to be: a
    # configuration change then re-lists an open page under the case's edits.
    if [ -n "${E2E_DROP_TIMED:-}" ]; then
        e2e_simctl drop-timed >>"$E2E_LOG" || { e2e_fail "simulator refused: drop-timed"; return 1; }
    fi
    for command in "$@"; do
        # shellcheck disable=SC2086 # a command is its words
        e2e_simctl $command >>"$E2E_LOG" || { e2e_fail "simulator refused: $command"; return 1; }
    done
}

e2e_sim_stop() {
    [ -n "$E2E_SIM_PID" ] || return 0
    if kill -0 "$E2E_SIM_PID" 2>/dev/null; then
        e2e_simctl quit >/dev/null 2>&1
        e2e_wait_exit "$E2E_SIM_PID" 5 || e2e_kill_own "$E2E_SIM_PID"
    fi
    wait "$E2E_SIM_PID" 2>/dev/null
    E2E_SIM_PID=""
}

e2e_ledger() {
    e2e_simctl ledger
}

# e2e_ledger_field <ledger-line> <name>
e2e_ledger_field() {
    printf '%s\n' "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"
}

# e2e_ledger_settled: no reply is out. A running agent's windows keep
# asking, so one may be out at the moment of a look; a leaked one stays out.
e2e_ledger_settled() {
    E2E_LEDGER=$(e2e_ledger) && [ "$(e2e_ledger_field "$E2E_LEDGER" outstanding)" = 0 ]
}

# e2e_ledger_clean <min-issued>: every reply handed back exactly once.
e2e_ledger_clean() {
    local line field
    E2E_LEDGER=""
    e2e_until 20 e2e_ledger_settled
    line=$E2E_LEDGER
    [ -n "$line" ] || { e2e_fail "no ledger from the simulator"; return 1; }
    e2e_log "ledger: $line"
    for field in outstanding double unknown; do
        [ "$(e2e_ledger_field "$line" $field)" = 0 ] || { e2e_fail "ledger not clean: $line"; return 1; }
    done
    [ "$(e2e_ledger_field "$line" issued)" -ge "${1:-0}" ] 2>/dev/null ||
        { e2e_fail "ledger issued below $1: $line"; return 1; }
}

# e2e_agent_start [folder]: starts the agent with that folder as its current
# directory, so a missing library is not found there either.
e2e_agent_start() {
    local folder=${1:-$E2E_BIN}
    (cd "$folder" && exec wine ./ZorvanHAgent.exe) >>"$E2E_LOG" 2>&1 &
    E2E_LAST_PID=$!
    E2E_AGENT_PIDS+=("$E2E_LAST_PID")
    e2e_log "agent pid $E2E_LAST_PID from $folder"
}

# e2e_agent_unix_pid: the newest agent process of this prefix that is not
# yet in E2E_AGENT_PIDS, for an agent that a launcher started (explorer on a
# virtual desktop), whose own pid the shell never saw.
e2e_agent_unix_pid() {
    local dir pid name newest=""
    for dir in /proc/[0-9]*; do
        pid=${dir#/proc/}
        [[ " ${E2E_AGENT_PIDS[*]} " == *" $pid "* ]] && continue
        name=""
        IFS= read -r -d '' name 2>/dev/null <"$dir/cmdline"
        name=${name%"${name##*[![:space:]]}"}
        [[ "$name" =~ (^|[\\/])ZorvanHAgent\.exe$ ]] || continue
        tr '\0' '\n' <"$dir/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        [ -z "$newest" ] || [ "$pid" -gt "$newest" ] && newest=$pid
    done
    [ -n "$newest" ] && printf '%s\n' "$newest"
}

# e2e_expect_window <caption> [ms]
e2e_expect_window() {
    e2e_driver wait-window "$1" --timeout "${2:-10000}" >/dev/null ||
        e2e_fail "no window \"$1\" within ${2:-10000} ms"
}

# e2e_expect_exit <pid> <code> [seconds]
e2e_expect_exit() {
    e2e_wait_exit "$1" "${3:-10}" || { e2e_fail "process $1 still running after ${3:-10} s"; return 1; }
    [ "$E2E_EXIT_CODE" = "$2" ] || e2e_fail "process $1 ended with code $E2E_EXIT_CODE, not $2"
}

# e2e_unload <pid>: 0x8065 to the exit window, then a clean end with code 0.
# Under wine without a desktop shell, removing a tray icon takes about 2 s,
# hence the generous time-outs.
e2e_unload() {
    e2e_driver send "$E2E_EXIT_WINDOW" 0x8065 --timeout 8000 >/dev/null ||
        { e2e_fail "exit window does not take 0x8065"; return 1; }
    e2e_expect_exit "$1" 0 10 || return 1
    e2e_driver wait-gone "$E2E_EXIT_WINDOW" --timeout 2000 || { e2e_fail "exit window left behind"; return 1; }
    e2e_driver mutex-exists ZorvanHAgentMtStillRunning >/dev/null &&
        { e2e_fail "mutex ZorvanHAgentMtStillRunning still exists after unload"; return 1; }
    return 0
}

# e2e_expect_msgbox <text> [icon] [ms]: sets E2E_MSGBOX_ICON.
e2e_expect_msgbox() {
    local out text
    out=$(e2e_driver msgbox "$E2E_TITLE" --timeout "${3:-10000}") ||
        { e2e_fail "no message box \"$1\" within ${3:-10000} ms"; return 1; }
    e2e_log "message box: $(printf '%s' "$out" | tr '\n' ' ')"
    text=$(printf '%s\n' "$out" | sed -n 's/^text=//p')
    E2E_MSGBOX_ICON=$(printf '%s\n' "$out" | sed -n 's/^icon=//p')
    [ "$text" = "$1" ] || { e2e_fail "message box says \"$text\", not \"$1\""; return 1; }
    # The icon is judged from screen pixels; only a confident answer counts.
    if [ -n "${2:-}" ] && [ "$E2E_MSGBOX_ICON" != unknown ] && [ "$E2E_MSGBOX_ICON" != "$2" ]; then
        e2e_fail "message box shows the $E2E_MSGBOX_ICON icon, not $2"
        return 1
    fi
    return 0
}

e2e_press_ok() {
    e2e_driver press "$E2E_TITLE" 1 --msgbox --timeout 3000 || e2e_fail "cannot press OK"
}

e2e_shot() {
    timeout -k 2 20 /usr/bin/import -display "$DISPLAY" -window root "$E2E_ARTIFACTS/$1.png" >>"$E2E_LOG" 2>&1 ||
        e2e_log "screenshot $1 failed"
}

e2e_reset_registry() {
    e2e_wine reg delete "$E2E_AGENT_KEY" /f >/dev/null 2>&1
    return 0
}

# e2e_reg_value <key> <name>: prints "TYPE DATA" of one value.
e2e_reg_value() {
    e2e_wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name { print $2, $3 }'
}

# Ends whatever a case left running: agents are first asked to unload, on
# the virtual desktop of the case (E2E_DESKTOP) too, lest a failed case's
# agent turn every later start into a second one.
e2e_case_teardown() {
    local pid
    for pid in "${E2E_AGENT_PIDS[@]}"; do
        if kill -0 "$pid" 2>/dev/null; then
            [ "$E2E_PREFIX_READY" = 1 ] &&
                e2e_driver post "$E2E_EXIT_WINDOW" 0x8065 --timeout 500 >/dev/null 2>&1
            [ "$E2E_PREFIX_READY" = 1 ] && [ -n "$E2E_DESKTOP" ] &&
                e2e_driver post "$E2E_EXIT_WINDOW" 0x8065 --timeout 500 --desktop "$E2E_DESKTOP" >/dev/null 2>&1
            e2e_wait_exit "$pid" 6 || e2e_kill_own "$pid"
        fi
        wait "$pid" 2>/dev/null
    done
    E2E_AGENT_PIDS=()
    E2E_DESKTOP=""
    e2e_sim_stop
}

# e2e_wait_count <code> <minimum> <seconds>: the simulator saw that many requests.
e2e_wait_count() {
    local seen
    seen=$(e2e_driver sim-count "$1" "$2" --timeout $(($3 * 1000))) ||
        e2e_fail "simulator saw ${seen:-no} request(s) $1 within $3 s, expected at least $2"
}

# e2e_settle <function> [words]: the function prints what differs from the
# wanted state, nothing when all agree; it is run until it agrees, for about
# 3 s, and the last difference is the failure.
e2e_settle() {
    local problem tries=0
    while problem=$("$@"); [ -n "$problem" ]; do
        tries=$((tries + 1))
        [ $tries -lt 12 ] || { e2e_fail "$problem"; return 1; }
        sleep 0.25
    done
}

# e2e_until <tries> <command...>: runs the command every quarter second until
# it succeeds; 1 when it never did.
e2e_until() {
    local tries=$1 n=1
    shift
    until "$@"; do
        [ $n -ge "$tries" ] && return 1
        sleep 0.25
        n=$((n + 1))
    done
}

# e2e_expect_responsive <pid>: still running, and its exit window answers.
e2e_expect_responsive() {
    kill -0 "$1" 2>/dev/null || { e2e_fail "agent $1 ended by itself"; return 1; }
    e2e_driver send "$E2E_EXIT_WINDOW" 0 --timeout 5000 >/dev/null ||
        e2e_fail "exit window does not answer"
}

# The Interface(s) page and the progress dialogs of its operations, as the
# bash cases on the preferences pages use them (tray.sh and preferences.sh
# give tray_driver and prefs_*).

IFACES_BINDING="ZorvanH Agent is binding..."
PBM_GETPOS=0x408
IDYES=6
IDNO=7

ifaces_items() {
    tray_driver list-items "hwnd:$IFACES_PAGE" 1029 | tr -d '\r'
}

# ifaces_wait_list: until the waiting line has gone and the buttons are back.
ifaces_wait_list() {
    local tries=0 items
    while [ $tries -lt 40 ]; do
        items=$(ifaces_items)
        if [ -n "$items" ] && ! printf '%s\n' "$items" | awk -F'\t' '$2 == 9 { found = 1 } END { exit !found }' &&
            prefs_enabled "$IFACES_PAGE" 1035; then
            return 0
        fi
        sleep 0.25
        tries=$((tries + 1))
    done
    e2e_fail "the list did not come: $(printf '%s' "$items" | tr '\n\t' '| ')"
}

# ifaces_lines_are <page> <list id> <image>:<text>...: the list shows these
# lines, in this order.
ifaces_lines_are() {
    local got want="" line
    got=$(tray_driver list-items "hwnd:$1" "$2" | tr -d '\r' | awk -F'\t' '{ print $2 ":" $4 }')
    shift 2
    for line in "$@"; do want+="$line"$'\n'; done
    [ "$got"$'\n' = "$want" ] && return 0
    IFACES_LINES_SEEN=$got
    return 1
}

# ifaces_lines_fail <image>:<text>...: the case fails with the lines the
# last ifaces_lines_are saw.
ifaces_lines_fail() {
    e2e_fail "the list shows [$(printf '%s' "$IFACES_LINES_SEEN" | tr '\n' '|')], not [$(printf '%s|' "$@")]"
}

# ifaces_expect_items <image>:<text>...: the lines in this order.
ifaces_expect_items() {
    ifaces_lines_are "$IFACES_PAGE" 1029 "$@" || ifaces_lines_fail "$@"
}

# ifaces_open_on <tree item>: the agent with its preferences on that page;
# IFACES_AGENT is the agent, for ifaces_case to unload.
ifaces_open_on() {
    tray_agent_start || return 1
    IFACES_AGENT=$E2E_LAST_PID
    tray_choose $KEY_PREFERENCES || e2e_fail "the menu did not take the choice" || return 1
    prefs_select "$1"
}

# ifaces_open: the agent, its preferences and the Interface(s) page with its list.
ifaces_open() {
    ifaces_open_on 3 || return 1
    IFACES_PAGE=$(prefs_page_with 1029) || e2e_fail "no Interface(s) page" || return 1
    ifaces_wait_list
}

# ifaces_progress <caption>: the progress dialog's hwnd, before any box of the same caption.
ifaces_progress() {
    local tries=0 hwnd
    while [ $tries -lt 40 ]; do
        for hwnd in $(tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$1" '$5 == c && $3 == "visible" { print $1 }'); do
            tray_driver list-children "hwnd:$hwnd" | tr -d '\r' | awk -F'\t' '$2 == 1001 { found = 1 } END { exit !found }' &&
                { printf '%s\n' "$hwnd"; return 0; }
        done
        sleep 0.1
        tries=$((tries + 1))
    done
    e2e_fail "no progress dialog \"$1\""
}

ifaces_bar() {
    local bar
    bar=$(tray_driver list-children "hwnd:$1" | tr -d '\r' | awk -F'\t' '$2 == 1001 { print $1 }')
    printf '%d\n' "$(tray_driver send "hwnd:$bar" $PBM_GETPOS | tr -d '\r')"
}

# ifaces_expect_box <caption> <text> [ms]: a message box of that caption says that.
ifaces_expect_box() {
    local out text
    out=$(tray_driver msgbox "$1" --timeout "${3:-8000}" | tr -d '\r') ||
        { e2e_fail "no box \"$2\""; return 1; }
    text=$(printf '%s\n' "$out" | sed -n 's/^text=//p')
    [ "$text" = "$2" ] || e2e_fail "box \"$1\" says \"$text\", not \"$2\""
}

ifaces_answer() {
    tray_driver press "$1" "$2" --msgbox --timeout 3000 >/dev/null || e2e_fail "cannot answer $2 in \"$1\""
}

# ifaces_wait_gone <hwnd>: the progress dialog has ended.
ifaces_wait_gone() {
    tray_driver wait-gone "hwnd:$1" --timeout "${2:-10000}" >/dev/null || e2e_fail "the progress dialog stays"
}

ifaces_case() {
    IFACES_AGENT=""
    "$1"
    local rc=$?
    tray_unload_left "$IFACES_AGENT"
    return $rc
}

# Data-files operations from the General page's "Browse..." (GENERAL_PAGE),
# for the bash cases that still run one.
DF_CHOICE="ZorvanHAgent Data Files Operation"
DF_PROGRESS="ZorvanH Agent is working, wait please..."
DF_BROWSER="Browse for Folder"

df_expect_msgbox() {
    local out text
    out=$(tray_driver msgbox "$E2E_TITLE" --timeout "${2:-15000}") ||
        { e2e_fail "no message box \"$1\""; return 1; }
    text=$(printf '%s\n' "$out" | tr -d '\r' | sed -n 's/^text=//p')
    [ "$text" = "$1" ] || { e2e_fail "message box says \"$text\", not \"$1\""; return 1; }
}

df_answer() {
    tray_driver press "$E2E_TITLE" "$1" --msgbox --timeout 3000 >/dev/null || e2e_fail "cannot answer $1"
}

# df_open_choice: the browser's OK on the current folder, up to the action
# dialog, left open.
df_open_choice() {
    tray_driver press "hwnd:$GENERAL_PAGE" 1058 >/dev/null || { e2e_fail "cannot press Browse..."; return 1; }
    tray_driver wait-window "$DF_BROWSER" --timeout 10000 >/dev/null || { e2e_fail "no folder browser"; return 1; }
    # A press read before the browser has checked its preselected folder is
    # dropped and leaves it open: only then is OK pressed again (a browser
    # already gone takes no press).
    local press
    for press in 1 2 3; do
        tray_driver press "$DF_BROWSER" 1 >/dev/null || break
        tray_driver wait-gone "$DF_BROWSER" --timeout 3000 >/dev/null && break
        e2e_log "press $press on the browser's OK was lost"
    done
    tray_driver wait-window "$DF_CHOICE" --timeout 10000 >/dev/null ||
        e2e_fail "the browser's OK does not lead to the action dialog"
}

# df_choose <mode radio id>: browser, then the action dialog with that mode.
df_choose() {
    df_open_choice || return 1
    [ "$1" = 1075 ] || tray_driver press "$DF_CHOICE" "$1" --click >/dev/null || { e2e_fail "cannot pick mode $1"; return 1; }
    e2e_shot "data-files-choice-$1"
    # Once in a CI run the press failed at once on a dialog that a moment
    # before was on screen: pressed again while it is there; if it has gone,
    # the log keeps what the desktop showed instead.
    local presses=0
    until tray_driver press "$DF_CHOICE" 1 >/dev/null; do
        presses=$((presses + 1))
        if [ $presses -ge 3 ] || ! tray_driver wait-window "$DF_CHOICE" --timeout 500 >/dev/null; then
            e2e_log "top-level windows: $(tray_driver list-windows | tr -d '\r' | tr '\n\t' '; ')"
            e2e_fail "cannot press OK"
            return 1
        fi
        e2e_log "press $presses on the action dialog's OK failed; the dialog is still there"
    done
    tray_driver wait-window "$DF_PROGRESS" --timeout 10000 >/dev/null || e2e_fail "no progress dialog"
}
