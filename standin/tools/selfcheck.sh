#!/bin/bash
# Plays every small scenario against the stand-in under wine and checks what
# a caller of the library sees. Usage: selfcheck.sh <bin-dir>
# Uses a private wine prefix and ends only the processes of that prefix.
set -u
BIN=$(cd "${1:?usage: selfcheck.sh <bin-dir>}" && pwd)
HERE=$(cd "$(dirname "$0")/.." && pwd)
export WINEDEBUG=-all
export WINEPREFIX=${STANDIN_WINEPREFIX:-$(mktemp -d /tmp/standin-check.XXXX)}
OWN_PREFIX=${STANDIN_WINEPREFIX:-yes}
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1

failures=0
SIM_PID=

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ctl() { (set -o pipefail; cd "$BIN" && timeout 30 wine ZorvanHSimCtl.exe "$@" | tr -d '\r'); }
probe() { (cd "$BIN" && timeout 60 wine ZorvanHProbe.exe "$@" | tr -d '\r'); }
expect() {  # expect <what> <text> <pattern>
  if ! grep -qE -- "$3" <<<"$2"; then fail "$1: wanted /$3/ in:"; echo "$2"; fi
}

start_sim() {
  (cd "$BIN" && exec wine ZorvanHSim.exe "Z:${HERE//\//\\}\\scenarios\\$1") >"$WINEPREFIX/sim.log" 2>&1 &
  SIM_PID=$!
  for _ in $(seq 50); do [ "$(ctl ping 2>/dev/null)" = ok ] && return 0; sleep 0.2; done
  fail "$1: simulator did not answer"; cat "$WINEPREFIX/sim.log"
}

stop_sim() {
  ctl quit >/dev/null 2>&1
  wait "$SIM_PID" 2>/dev/null
}

echo "== default: every selector, all replies handed back"
start_sim default.scn
out=$(probe)
expect default "$out" "list 1: status=0x00000000"
expect default "$out" "list 16: .*"$'\n'".*count=1"
expect default "$out" 'record 0: .*name="Gigabit Ethernet Adapter \(PCI\)"'
expect default "$out" "ledger: issued=4 released=4 outstanding=0 double=0 unknown=0"
expect "count 1" "$(ctl count 1)" "^4$"
out=$(probe double 44)
expect "double release" "$(ctl ledger)" "double=1 unknown=0"
ctl reset-counts >/dev/null
expect "reset" "$(ctl ledger)" "^issued=0 released=0 outstanding=0 double=0 unknown=0$"
expect "unknown selector" "$(probe list 3)" "status=0xC0FE0001 size=0 held=no"
expect "unknown code" "$(probe raw 7 1)" "status=0xC0FE0001 size=0 held=no"
ctl fault fill code=1 from=4 times=1 >/dev/null
out=$(probe list 1)
expect "filled" "$out" "list 1: status=0x00000000 size=[1-9][0-9]* held=yes"
expect "filled" "$out" "count=4294967295"
ctl add-interface extra name="Extra Adapter" flags=supported,bound,connected part3=empty >/dev/null
expect "added" "$(probe list 44)" 'name="Extra Adapter" part2=6 part3=0'
ctl remove-interface extra >/dev/null
ctl fault status code=1 status=0xC0FE0005 times=2 >/dev/null
out=$(probe list 44 list 44 list 44)
[ "$(grep -c 'status=0xC0FE0005' <<<"$out")" = 2 ] || fail "status fault not twice: $out"
expect "refused command" "$(ctl frobnicate; echo rc=$?)" "rc=1"
ctl stop-service for=2 >/dev/null
expect "stopped" "$(probe list 44)" "status=0xC0FE000A size=0 held=no"
sleep 3.5
expect "restarted" "$(probe list 44)" "status=0x00000000"
ctl reset-counts >/dev/null
expect "many callers" "$(probe threads 8 ledger)" "ledger: issued=160 released=160 outstanding=0 double=0 unknown=0"
(sleep 1; ctl set-interface wlan connected=1 >/dev/null) &
expect "status event" "$(probe wait-status 5000)" "signalled"
wait $!
(sleep 1; ctl set-interface wlan bound=0 >/dev/null) &
expect "conf event" "$(probe wait-conf 5000)" "signalled"
wait $!
ctl at "$(( $(ctl time) + 2 ))" set-interface wlan bound=1 >/dev/null
expect "timed change dropped" "$(ctl drop-timed)" "^[1-9][0-9]*$"
expect "no event from a dropped change" "$(probe wait-conf 3500)" "timeout"
ctl stop-service >/dev/null
expect "events gone while stopped" "$(probe wait-conf 10)" "missing"
ctl start-service >/dev/null
expect "events back" "$(probe wait-conf 10)" "timeout"
stop_sim
expect "after quit" "$(probe init list 44)" "init: status=0x00000000"$'\n'"list 44: status=0xC0FE000A size=0 held=no"
expect "ctl without simulator" "$(ctl ping 2>/dev/null; echo rc=$?)" "rc=2"

echo "== busy: three busy answers with blocks, then the list"
start_sim busy.scn
out=$(probe busy 44)
[ "$(grep -c 'reply held, 24 bytes' <<<"$out")" = 3 ] || fail "busy: $out"
expect busy "$out" "list 44: status=0x00000000"
expect busy "$(ctl ledger)" "issued=4 released=4 outstanding=0"
expect busy "$(ctl count 1)" "^4$"
stop_sim

echo "== not-started"
start_sim not-started.scn
expect not-started "$(probe init list 1 list 44)" "init: status=0x00000000"$'\n'"list 1: status=0xC0FE000A size=0 held=no"
expect not-started "$(ctl ledger)" "issued=0"
stop_sim

echo "== wrong-version"
start_sim wrong-version.scn
expect wrong-version "$(probe init list 44)" "init: status=0xC0FE000B"$'\n'"list 44: status=0xC0FE000B size=0 held=no"
stop_sim

echo "== malformed: six kinds in turn, then sound"
start_sim malformed.scn
out=$(probe list 44 list 44 list 44 list 44 list 44 list 44 list 44)
expect malformed "$out" "record 0: bad RecordSize 0"
expect malformed "$out" "record 0: bad RecordSize"
expect malformed "$out" "record 1: parts .* overrun"
expect malformed "$out" "count=5"
expect malformed "$out" 'name="Wireless LAN Adapter 802.11gX" \(no NUL\)'
expect malformed "$out" 'id="\{8C2B1A44-7F0E-4B6A-9E31-2D5C0A7B1E90\}X" \(no NUL\)'
expect malformed "$(tail -3 <<<"$out")" 'record 1: .*id="\{8C2B1A44-7F0E-4B6A-9E31-2D5C0A7B1E90\}"$'
expect malformed "$(ctl ledger)" "issued=7 released=7 outstanding=0 double=0 unknown=0"
stop_sim

echo "== truncated"
start_sim truncated.scn
out=$(probe list 44 list 44 list 44 list 44)
expect truncated "$out" "size=6 held=yes"$'\n'"  reply shorter than 8 bytes"
expect truncated "$out" "size=40 held=yes"
expect truncated "$out" "size=32 held=yes"
expect truncated "$(ctl ledger)" "issued=4 released=4 outstanding=0"
stop_sim

echo "== mapping: directory, view and their faults"
start_sim mapping.scn
sleep 1.2
out=$(probe mapping)
expect mapping "$out" "directory: identity=5A484452,00000001,[0-9A-F]{8},00000000 entries=2 invalid=0"
expect mapping "$out" 'entry 0: key=1 size=4096'
expect mapping "$out" 'entry 1: key=65535 size=17060 name="ZorvanHServiceFileMappingStatistics1"'
expect mapping "$out" "view: identity=5A485653,00000001,00000000,[0-9A-F]{8} interfaces=2 invalid=0"
expect mapping "$out" 'interface 0: name="Gigabit Ethernet Adapter \(PCI\)" rx=(2400000 tx=300000 rx-nh=2280000 tx-nh=285000|3100000 tx=450000 rx-nh=2945000 tx-nh=427500) time=[0-9]+0000000 connected=2 speed=1000000'
ctl mapping directory-invalid >/dev/null
ctl mapping view-invalid >/dev/null
ctl mapping view-identity >/dev/null
out=$(probe mapping)
expect "mapping faults" "$out" "entries=2 invalid=1"
expect "mapping faults" "$out" "view: identity=5A485653,00000001,00000001,[0-9A-F]{8} interfaces=2 invalid=1"
ctl mapping directory-valid >/dev/null
ctl mapping view-valid >/dev/null
ctl mapping remove-entry >/dev/null
out=$(probe mapping)
expect "entry removed" "$out" "identity=5A484452,00000001,[0-9A-F]{8},00000001 entries=1 invalid=0"
grep -q "key=65535" <<<"$out" && fail "entry removed: still listed"
ctl mapping restore-entry >/dev/null
# Each size change rebuilds the directory, as the entry's removal did.
ctl mapping view-size 1100 >/dev/null
ctl mapping count 0xFFFFFFFF >/dev/null
out=$(probe mapping)
expect "short view" "$out" 'entry 1: key=65535 size=1100 '
expect "short view" "$out" "interfaces=4294967295 invalid=0"
ctl mapping real >/dev/null
expect "real view" "$(probe mapping)" 'entry 1: key=65535 size=17060 .*'$'\n''.*interfaces=2 invalid=0'
ctl stop-service >/dev/null
expect "stopped" "$(probe mapping)" "mutex: missing"$'\n'"directory: missing"
ctl start-service >/dev/null
out=$(probe mapping)
expect "restarted" "$out" "directory: identity=5A484452,00000002,[0-9A-F]{8},00000004 entries=2 invalid=0"
expect "restarted" "$out" 'name="ZorvanHServiceFileMappingStatistics2"'
expect "abandon" "$(ctl abandon-mutex)" "^ok$"
sleep 4.2
expect "abandoned, found by the tick" "$(ctl mutex)" "abandoned=1 busy=0"
stop_sim

[ "$OWN_PREFIX" = yes ] && { wineserver -k; rm -rf "$WINEPREFIX"; }
echo "failures: $failures"
[ "$failures" = 0 ]
