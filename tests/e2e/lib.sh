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

# e2e_display_free <n>: no server holds display n. A server killed outright
# leaves its lock, whose pid may since be another process's: such a stale
# lock goes, or it would stop every later run from taking the number.
e2e_display_free() {
    local pid
    [ -e "/tmp/.X$1-lock" ] || return 0
    pid=$(tr -d ' ' <"/tmp/.X$1-lock" 2>/dev/null)
    [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ] && return 1
    rm -f "/tmp/.X$1-lock" "/tmp/.X11-unix/X$1"
}

e2e_start_xvfb() {
    local n
    for n in $(seq 90 199); do
        e2e_display_free "$n" || continue
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


# The notification-area icon and its menu, inside a wine virtual desktop
# whose taskbar holds the icon, for the cases and scripts still in bash.

# One virtual desktop for the whole run: making one takes wine's explorer
# seconds, and a driver thread that sits on it keeps it between cases.
TRAY_DESKTOP=ZorvanHTray
TRAY_MAIN="ZorvanHAgent Preferences - "
TRAY_MENU_CLASS="#32768"
VK_RETURN=0x0D
VK_ESCAPE=0x1B
VK_UP=0x26
VK_DOWN=0x28
VK_RIGHT=0x27
# The menu items' underlined letters, as virtual keys.
KEY_PREFERENCES=0x50
KEY_HELP=0x48

tray_driver() {
    e2e_driver "$@" --desktop "$TRAY_DESKTOP"
}

# The agent is started on the tray desktop; E2E_LAST_PID is its own
# process, not the launcher's.
tray_agent_start() {
    E2E_DESKTOP=$TRAY_DESKTOP
    (cd "$E2E_BIN" && exec "$E2E_WINE_OWN" explorer "/desktop=$TRAY_DESKTOP,1280x800" ZorvanHAgent.exe) >>"$E2E_LOG" 2>&1 &
    # A driver restarted since the last start holds it anew.
    e2e_driver hold-desktop "$TRAY_DESKTOP" --timeout 20000 >/dev/null ||
        e2e_fail "no virtual desktop $TRAY_DESKTOP" || return 1
    tray_driver wait-window "$E2E_EXIT_WINDOW" --timeout 15000 >/dev/null ||
        e2e_fail "no exit window on the virtual desktop" || return 1
    E2E_LAST_PID=$(e2e_agent_unix_pid)
    [ -n "$E2E_LAST_PID" ] || e2e_fail "no agent process on the virtual desktop" || return 1
    E2E_AGENT_PIDS+=("$E2E_LAST_PID")
    e2e_log "agent pid $E2E_LAST_PID on $TRAY_DESKTOP"
    # The icon is added once the main dialog's loop runs.
    tray_expect_tip "ZorvanHAgent is enabled"
}

# tray_agent_ended <pid>: the agent's process ends once its windows went.
tray_agent_ended() {
    e2e_wait_exit "$1" 10 || { e2e_fail "agent $1 still running after its windows went"; e2e_kill_own "$1"; return 1; }
}

tray_unload() {
    tray_driver send "$E2E_EXIT_WINDOW" 0x8065 --timeout 8000 >/dev/null ||
        e2e_fail "exit window does not take 0x8065" || return 1
    tray_driver wait-gone "$E2E_EXIT_WINDOW" --timeout 10000 >/dev/null ||
        e2e_fail "agent did not unload" || return 1
    tray_agent_ended "$1"
}

# tray_unload_left <pid>: an agent that a failed case left running (an
# empty pid: none was started) is unloaded, without a word.
tray_unload_left() {
    if [ -n "$1" ] && kill -0 "$1" 2>/dev/null; then
        tray_unload "$1" >/dev/null 2>&1
    fi
}

# tray_expect_tip <text> [absent]: the shell's tooltips hold (or lack) it.
tray_expect_tip() {
    local tries=0 tips
    while [ $tries -lt 40 ]; do
        tips=$(tray_driver tooltips | tr -d '\r')
        if [ "${2:-}" = absent ]; then
            printf '%s\n' "$tips" | grep -qxF "$1" || return 0
        else
            printf '%s\n' "$tips" | grep -qxF "$1" && return 0
        fi
        sleep 0.25
        tries=$((tries + 1))
    done
    [ "${2:-}" = absent ] && e2e_fail "tray tip \"$1\" still shown" && return 1
    e2e_fail "no tray tip \"$1\" (tips: $(printf '%s' "$tips" | tr '\n' '|'))"
}

# Opens the menu as a right click on the icon does; prints the menu's hwnd.
tray_open_menu() {
    tray_driver post "$TRAY_MAIN" 0x80C8 0 0x205 --timeout 3000 >/dev/null ||
        { e2e_fail "main window does not take the tray message"; return 1; }
    local tries=0 menu
    while [ $tries -lt 30 ]; do
        menu=$(tray_driver list-windows | tr -d '\r' |
            awk -F'\t' -v c="$TRAY_MENU_CLASS" '$4 == c && $3 == "visible" { print $1; exit }')
        [ -n "$menu" ] && { printf '%s\n' "$menu"; return 0; }
        sleep 0.2
        tries=$((tries + 1))
    done
    e2e_fail "the tray menu did not open"
}

# tray_keys <menu-hwnd> <key>...: one key at a time, as a user types them.
tray_keys() {
    local menu=$1 key
    shift
    for key in "$@"; do
        tray_driver key "hwnd:$menu" "$key" >/dev/null || { e2e_log "menu $menu gone before key $key"; return 1; }
        e2e_sleep_ms 50
    done
}

# tray_choose <key>...: opens the menu and types the keys. Under wine a menu
# is now and then dismissed a moment after it opens, before the keys; such
# an attempt is made again. A menu walked with arrows holds a focused item
# meanwhile, and once a dismissed one ran that item (a second attempt then
# undid a toggle), so choices are made with the items' letters: one key,
# and nothing focused before it.
tray_choose() {
    local attempt menu
    for attempt in 1 2 3; do
        menu=$(tray_open_menu) || return 1
        tray_keys "$menu" "$@" && return 0
        e2e_log "menu dismissed before the choice, attempt $attempt"
        sleep 0.5
    done
    return 1
}

# Monitor windows opened from the tray's "&Monitors" submenu.

MONITOR_LAN="Gigabit Ethernet Adapter (PCI)"
MONITOR_LAN_ID="{4D36E972-E325-11CE-BFC1-08002BE10318}"
MONITOR_WLAN="Wireless LAN Adapter 802.11g"
MONITOR_WLAN_ID="{8C2B1A44-7F0E-4B6A-9E31-2D5C0A7B1E90}"
MONITORS_KEY='HKLM\Software\Merovax\ZorvanHAgent\Monitors'

# monitor_two_scenario <file>: a scenario of the two monitorable adapters,
# both connected and busy.
monitor_two_scenario() {
    {
        echo "first-word 0x00010002"
        echo "add-interface lan name=\"$MONITOR_LAN\" id=$MONITOR_LAN_ID flags=supported,connected,bound,binding-active" \
            "rx-rate=5000000 tx-rate=2000000 connections=1"
        echo "add-interface wlan name=\"$MONITOR_WLAN\" id=$MONITOR_WLAN_ID flags=supported,connected,bound,binding-active" \
            "rx-rate=900000 tx-rate=150000 connections=1"
    } >"$1"
}

# monitor_open <position in the submenu, from 0> <title>
monitor_open() {
    local keys=($VK_DOWN $VK_DOWN $VK_DOWN $VK_RIGHT) i
    for ((i = 0; i < $1; i++)); do keys+=($VK_DOWN); done
    tray_choose "${keys[@]}" $VK_RETURN || e2e_fail "the menu did not take the choice" || return 1
    # The window is made hidden and shown once placed: wait for what the
    # user sees.
    tray_driver wait-shown "$2" --timeout 8000 >/dev/null || e2e_fail "no monitor window \"$2\" on show"
}

monitor_close() {
    tray_driver send "$1" 0x0010 --timeout 3000 >/dev/null || e2e_fail "monitor \"$1\" does not take WM_CLOSE" || return 1
    tray_driver wait-gone "$1" --timeout 5000 >/dev/null || e2e_fail "monitor \"$1\" stays after WM_CLOSE"
}

# monitor_rows <caption>: the visible/hidden column of every window so named.
monitor_rows() {
    tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$1" '$5 == c { print $3 }'
}

monitor_agent_pid() {
    tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$E2E_EXIT_WINDOW" '$5 == c { print $2; exit }'
}

# The flags a monitor starts with, in the store's order; a key made here
# must carry them all, as a missing flag reads as off.
MONITOR_DEFAULT_FLAGS="HideWindowTitle=0 ShowWindowOnTop=1 ShowMaxSpeedText=1 ShowCurPeakText=1 ShowMaxPeakText=1
EnableHorizontalLines=1 EnableVerticalLines=0 EnableTimeArrow=1 EnableConnectionTimeText=0
DontConsiderHardwareHeaders=1 EnableBoldTextsOnWindow=0 MakeWindowTrasparentForMouse=0 MakeSendReceiveScaleEqual=0
PopupWhenConnected=0 HideWhenDisconnected=0 EnableBytesPerSecond=1"

# monitor_place <subkey> <id> <left> <top> <right> <bottom> [flag...]: a
# stored monitor at that place, with the default flags and each named flag
# switched on; one import, as a reg call per value takes a while.
monitor_place() {
    local file="$E2E_TMP/monitor-$1.reg" hex="01,00,00,00" v pair name value
    for v in "$3" "$4" "$5" "$6"; do
        hex+=$(printf ',%02x,%02x,%02x,%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)))
    done
    {
        printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Merovax\\ZorvanHAgent\\Monitors\\%s]\r\n' "$1"
        printf '"Name"="%s"\r\n"SizePositionWindow"=hex:%s\r\n' "$2" "$hex"
        for pair in $MONITOR_DEFAULT_FLAGS; do
            name=${pair%=*}
            value=${pair#*=}
            [[ " ${*:7} " == *" $name "* ]] && value=1
            printf '"%s"=hex:0%s\r\n' "$name" "$value"
        done
    } >"$file"
    e2e_wine reg import "$(e2e_winpath "$file")" >/dev/null 2>&1 || e2e_fail "cannot import $file"
}

# monitor_lit <shot> <x0> <x1> <y>: pixels of that row that belong to a bar
# (the diagram's background and grid are black and dark blue, its bars run
# from green to red).
monitor_lit() {
    /usr/bin/convert "$E2E_ARTIFACTS/$1.png" -crop "$(($3 - $2))x1+$2+$4" +repage -depth 8 txt:- |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
        awk '$1 + $2 > 150 { n++ } END { print n + 0 }'
}

# monitor_wait_lit <shot> <at-least|at-most> <count> <seconds> [y]: takes
# screenshots until the diagram's row y (default MONITOR_Y) has that many
# lit pixels; sets MONITOR_LIT to the last count. The diagram moves once a
# second, so this waits for what a user would see rather than for a time.
monitor_wait_lit() {
    local shot=$1 how=$2 count=$3 until=$((SECONDS + $4)) y=${5:-$MONITOR_Y}
    while :; do
        e2e_shot "$shot"
        MONITOR_LIT=$(monitor_lit "$shot" "$MONITOR_X0" "$MONITOR_X1" "$y")
        case $how in
            at-least) [ "$MONITOR_LIT" -ge "$count" ] && return 0 ;;
            at-most) [ "$MONITOR_LIT" -le "$count" ] && return 0 ;;
        esac
        [ $SECONDS -lt $until ] || return 1
        e2e_sleep_ms 200
    done
}

# Sets MONITOR_X0, MONITOR_X1 (a span of the right part of the diagram, clear
# of the texts at the left) and MONITOR_Y (a row inside the lower half).
monitor_geometry() {
    local rect
    rect=$(tray_driver window-rect "$1" | tr -d '\r') || { e2e_fail "no rectangle for \"$1\""; return 1; }
    read -r MONITOR_LEFT MONITOR_TOP MONITOR_RIGHT MONITOR_BOTTOM <<<"$rect"
    MONITOR_X1=$((MONITOR_RIGHT - 6))
    MONITOR_X0=$((MONITOR_X1 - 60))
    # Above the time arrow's strip and the bottom text line, below the
    # middle of the window.
    MONITOR_Y=$((MONITOR_BOTTOM - 34))
    # Below the caption, in the upper (send) half.
    MONITOR_Y_SEND=$((MONITOR_TOP + 40))
}

# monitor_await <title> <visible|hidden>: sets MONITOR_STATE. The refresh
# thread misses a status pulse that comes while it sleeps or refreshes (at
# start-up, after the view is published, it does both), so the status is
# signalled again now and then, as the service would on its next change.
monitor_await() {
    local tries=0
    MONITOR_STATE=$(monitor_rows "$1")
    while [ "$MONITOR_STATE" != "$2" ] && [ $tries -lt 30 ]; do
        [ $((tries % 8)) = 7 ] && e2e_simctl signal status >/dev/null
        sleep 0.25
        tries=$((tries + 1))
        MONITOR_STATE=$(monitor_rows "$1")
    done
    [ "$MONITOR_STATE" = "$2" ]
}

# monitor_measure <name>: "gdi user handles private" of the agent.
monitor_measure() {
    local out
    out=$(tray_driver gui-resources "$1" | tr -d '\r') || { e2e_fail "no resource counts for process $1"; return 1; }
    printf '%s\n' "$out" | sed -n 's/gdi=\([0-9]*\) user=\([0-9]*\) handles=\([0-9]*\) private=\([0-9]*\)/\1 \2 \3 \4/p'
}

# monitor_menu <title> <key>...: a right click in the client area opens
# menu 153, then the keys choose from it.
monitor_menu() {
    local title=$1 attempt menu
    shift
    for attempt in 1 2 3; do
        tray_driver post "$title" 0x0204 2 0x00140014 --timeout 3000 >/dev/null &&
            tray_driver post "$title" 0x0205 0 0x00140014 --timeout 3000 >/dev/null ||
            { e2e_fail "monitor \"$title\" does not take the right click"; return 1; }
        local tries=0
        menu=""
        while [ -z "$menu" ] && [ $tries -lt 20 ]; do
            sleep 0.2
            menu=$(tray_driver list-windows | tr -d '\r' |
                awk -F'\t' -v c="$TRAY_MENU_CLASS" '$4 == c && $3 == "visible" { print $1; exit }')
            tries=$((tries + 1))
        done
        [ -n "$menu" ] && tray_keys "$menu" "$@" && return 0
        e2e_log "monitor menu not there or dismissed, attempt $attempt"
    done
    e2e_fail "the monitor's menu did not take the choice"
}

# monitor_has_caption <title>: WS_CAPTION in the window's style.
monitor_has_caption() {
    local style
    style=$(tray_driver style "$1" | tr -d '\r') || return 2
    [ $((style & 0x00C00000)) = $((0x00C00000)) ]
}

monitor_lacks_caption() {
    monitor_has_caption "$1"
    [ $? = 1 ]
}

# The Monitor(s) page as the bash cases of other pages and the dpi run use it
# (monitors.sh, tray.sh and preferences.sh give MONITOR_*, tray_driver and
# prefs_*).

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

monpage_rows() {
    tray_driver lv-rows "hwnd:$MONPAGE" "$1" | tr -d '\r'
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
# The preferences window's page tree and pages, on the tray desktop.
TVM_GETNEXTITEM=0x110A
TVM_SELECTITEM=0x110B
TVGN_ROOT=0
TVGN_NEXT=1
TVGN_CARET=9

prefs_children() {
    tray_driver list-children "$TRAY_MAIN" | tr -d '\r'
}

# prefs_page_with <control id>: the page, among the main dialog's child
# dialogs, that holds that control.
prefs_page_with() {
    local page
    for page in $(prefs_children | awk -F'\t' '$4 == "#32770" { print $1 }'); do
        tray_driver list-children "hwnd:$page" | tr -d '\r' | awk -F'\t' -v id="$1" '$2 == id { found = 1 } END { exit !found }' &&
            { printf '%s\n' "$page"; return 0; }
    done
    return 1
}

# prefs_enabled <window> <control id>: the control is there and enabled.
prefs_enabled() {
    local style
    style=$(tray_driver style "hwnd:$1" "$2" | tr -d '\r')
    [ -n "$style" ] && ! (( style & 0x08000000 ))
}

# prefs_group_rows <caption>: the page group boxes of that caption, with state.
prefs_group_rows() {
    prefs_children | awk -F'\t' -v t="$1" '$2 == 1090 && $5 == t { print $3 }'
}

# prefs_select <n>: selects the n-th tree item (1 = "General"), as a click does.
prefs_select() {
    local tree item n=1
    tree=$(prefs_children | awk -F'\t' '$2 == 1000 { print $1; exit }')
    [ -n "$tree" ] || { e2e_fail "no page tree"; return 1; }
    item=$(tray_driver send "hwnd:$tree" $TVM_GETNEXTITEM $TVGN_ROOT 0 | tr -d '\r')
    while [ "$n" -lt "$1" ]; do
        item=$(tray_driver send "hwnd:$tree" $TVM_GETNEXTITEM $TVGN_NEXT "$item" | tr -d '\r')
        n=$((n + 1))
    done
    [ "$item" != 0x0 ] || { e2e_fail "no tree item $1"; return 1; }
    tray_driver send "hwnd:$tree" $TVM_SELECTITEM $TVGN_CARET "$item" >/dev/null
}

prefs_page_shown() {
    [ "$(prefs_group_rows "$1")" = visible ]
}

# prefs_expect_page <group caption>: exactly one such page, and it is on
# show within 3 s.
prefs_expect_page() {
    e2e_until 12 prefs_page_shown "$1" ||
        e2e_fail "page \"$1\" is \"$(prefs_group_rows "$1" | tr '\n' ' ')\", not one page on show"
}

# prefs_main_is <visible|hidden>: the preferences window's state.
prefs_main_is() {
    [ "$(tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$TRAY_MAIN" '$5 == c { print $3 }')" = "$1" ]
}

# prefs_visibility: "visible" or "hidden", as the preferences window is.
prefs_visibility() {
    tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$TRAY_MAIN" '$5 == c { print $3; exit }'
}

prefs_is() {
    [ "$(prefs_visibility)" = "$1" ]
}

prefs_close() {
    tray_driver press "$TRAY_MAIN" 70 --timeout 3000 >/dev/null || e2e_fail "cannot press \"&Close\"" || return 1
    e2e_until 12 prefs_is hidden || e2e_fail "\"&Close\" left the preferences on show"
}

# The General page on the tray desktop.
STATWIN_KEY="$E2E_AGENT_KEY\\StatisticWindow"
MONITOR_KEY='HKLM\Software\Merovax\ZorvanHMonitor'
HOLD_TEXT="How long to hold the statistics for disconnected connection(s):"
TBM_GETPOS=0x400
TBM_SETPOS=0x405
WM_HSCROLL=0x114
TB_ENDTRACK=8
BM_GETCHECK=0xF0

# At start-up only the General page exists, so it is the one dialog child.
general_page() {
    prefs_children | awk -F'\t' '$4 == "#32770" { print $1; exit }'
}

general_control() {
    tray_driver list-children "hwnd:$GENERAL_PAGE" | tr -d '\r' | awk -F'\t' -v id="$1" '$2 == id { print $1; exit }'
}

general_text() {
    tray_driver text "hwnd:$GENERAL_PAGE" "$1" | tr -d '\r'
}

general_start() {
    tray_agent_start || return 1
    GENERAL_AGENT=$E2E_LAST_PID
    GENERAL_PAGE=$(general_page)
    [ -n "$GENERAL_PAGE" ] || e2e_fail "no General page after start-up"
}

general_click() {
    tray_driver press "hwnd:$GENERAL_PAGE" "$1" --click >/dev/null || e2e_fail "cannot click $1"
}

# general_expect_value <key> <name> <hex byte>
general_expect_value() {
    local got
    got=$(e2e_reg_value "$1" "$2")
    [ "$got" = "REG_BINARY $3" ] || e2e_fail "${1##*\\}\\$2 is \"${got:-missing}\", not $3"
}

general_expect_text() {
    local got
    got=$(general_text "$1")
    [ "$got" = "$2" ] || e2e_fail "control $1 shows \"$got\", not \"$2\""
}

# general_wait_text <id> <text>: what a thread of the agent shows soon.
general_wait_text() {
    local waited=0
    until [ "$(general_text "$1")" = "$2" ]; do
        [ $waited -ge 20 ] && return 1
        sleep 0.25
        waited=$((waited + 1))
    done
}

# general_expect_enabled <yes|no> <id>...
general_expect_enabled() {
    # The folder text comes before the controls follow it, so the state
    # gets a moment to settle.
    e2e_settle general_enabled_now "$@"
}

# Prints what differs from the wanted state, nothing when all agree.
general_enabled_now() {
    local want=$1 id style disabled
    shift
    for id in "$@"; do
        style=$(tray_driver style "hwnd:$GENERAL_PAGE" "$id" | tr -d '\r')
        [ -n "$style" ] || { echo "no control $id"; return; }
        disabled=no
        (( style & 0x08000000 )) && disabled=yes
        [ "$want" = yes ] && [ $disabled = yes ] && { echo "control $id is disabled"; return; }
        [ "$want" = no ] && [ $disabled = no ] && { echo "control $id is enabled"; return; }
    done
}

# general_release <position> [sends]: the slider moved there and let go, as
# a drag ends. With "sends", the page must also have re-read the service:
# a refresh lost while the synchronizing dialog ends would leave the page
# comparing the next release with stale values.
general_release() {
    local slider before
    slider=$(general_control 1070)
    before=$(e2e_simctl count 9)
    tray_driver send "hwnd:$slider" $TBM_SETPOS 1 "$1" >/dev/null &&
        tray_driver send "hwnd:$GENERAL_PAGE" $WM_HSCROLL $TB_ENDTRACK "$slider" --timeout 10000 >/dev/null ||
        { e2e_fail "the page did not take the slider's release at $1"; return 1; }
    [ "${2:-}" = sends ] || return 0
    e2e_wait_count 9 $((before + 1)) 5 && return 0
    e2e_log "after the release at $1: request 14 count $(e2e_simctl count 14), got $(e2e_simctl disconnected-requests)"
    return 1
}

# general_case <function>: a failed case still unloads its agent, which the
# harness cannot reach on the virtual desktop, so the next case starts clean.
general_case() {
    GENERAL_AGENT=""
    "$1"
    local rc=$?
    tray_unload_left "$GENERAL_AGENT"
    # The harness resets only the agent's own key.
    e2e_wine reg delete "$MONITOR_KEY" /f >/dev/null 2>&1
    return $rc
}

general_expect_sent() {
    local got
    got=$(e2e_simctl disconnected-requests)
    [ "$got" = "$1" ] || e2e_fail "request 14 received \"$got\", not \"$1\""
}

# The Movements page.
MOVES_DELETING="ZorvanH Agent is deleting..."
MOVES_ASKING='ZorvanHAgent delete "Not Present" interface'
MOVES_NONE='"Not Present" network interfaces were not found'

moves_button_enabled() {
    prefs_enabled "$MOVES_PAGE" 1058
}

# moves_wait_list <image>:<text>...: until the list shows these lines.
moves_wait_list() {
    local tries=0
    while [ $tries -lt 40 ]; do
        ifaces_lines_are "$MOVES_PAGE" 1072 "$@" && return 0
        sleep 0.25
        tries=$((tries + 1))
    done
    ifaces_lines_fail "$@"
}

# moves_after_error <list requests before>: after a failed delete's OK the
# page lists again; done once the list came and the button is back.
moves_after_error() {
    e2e_wait_count 1 $(($1 + 1)) 5 || { E2E_REASON="the list was not fetched again: $E2E_REASON"; return 1; }
    shift
    moves_wait_list "$@" || return 1
    e2e_until 12 moves_button_enabled || e2e_fail "the delete button stays disabled after the list came"
}

# moves_delete <name>: asks, answers Yes and waits for the progress dialog to end.
moves_delete() {
    local dialog
    tray_driver press "hwnd:$MOVES_PAGE" 1058 >/dev/null || e2e_fail "cannot press the delete button" || return 1
    # The box's first line; " Are you sure?" follows on the second.
    ifaces_expect_box "$MOVES_ASKING" "\"Not Present\" network interface: $1 will be deleted." || return 1
    ifaces_answer "$MOVES_ASKING" $IDYES || return 1
    dialog=$(ifaces_progress "$MOVES_DELETING") || return 1
    ifaces_wait_gone "$dialog" 5000
}
# The statistics window, for the bash cases that look into it.
STATS_WINDOW="ZorvanHAgent Interface Statistics"
STATS_CLEAR="ZorvanHAgent Clear Statistics..."

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
