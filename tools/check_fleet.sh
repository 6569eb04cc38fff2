#!/usr/bin/env bash
# The Ansible collection driven for real: ansible-playbook against three benches, each a
# local-connection host with its own virtual converters on pseudo-terminals, and
# quorin-cli from the native build on every one of them.
#   check_fleet.sh [COLLECTION.tar.gz]   (default: the collection's sources in ansible/)
# One "NAME pass|fail" line per check on standard output, the reasons on standard error:
#   fleet.check_mode    --check --diff writes nothing (the converters' logs) yet reports
#                       every bench changed and shows each setting before and after
#   fleet.first_run     every bench changed; every converter's block is the block
#                       quorin-cli set gives a converter of its own
#   fleet.second_run    the same play again changes nothing (changed=0 everywhere)
#   fleet.silent        a silent converter fails its bench with the program's message;
#                       the other benches and the bench's other converter are served
#   fleet.info          converter_info gives each converter's profile as quorin-cli
#                       read --json does, and ports finds them all
#   fleet.profile       a profile file is written to the converters that differ from it,
#                       and a second time to none
set -u
. "$(dirname "$0")/common.sh"

CLI=$QUORIN_BUILD/native/quorin-cli
VCONV=$QUORIN_BUILD/native/tools/vconv
PLAYS=$QUORIN_ROOT/tests/ansible
work=$(mktemp -d)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

# --- the collection, installed as a user installs it
export ANSIBLE_COLLECTIONS_PATH=$work/collections ANSIBLE_NOCOLOR=1 ANSIBLE_LOCAL_TEMP=$work/tmp \
  ANSIBLE_HOME=$work/home ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_PYTHON_INTERPRETER=/usr/bin/python3
if [ -n "${1:-}" ]; then
  ansible-galaxy collection install -p "$work/collections" "$1" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; exit 1; }
else
  mkdir -p "$work/collections/ansible_collections/quorin"
  cp -a "$QUORIN_ROOT/ansible" "$work/collections/ansible_collections/quorin/canconfig"
fi

# --- three benches: a and b with two converters, c with two where the second turns silent
converter() { # converter NAME: starts one, published as $work/NAME, logged to NAME.log
  "$VCONV" --link "$work/$1" --log "$work/$1.log" --control "$work/$1.control" >/dev/null 2>&1 &
  pids+=($!)
}
for c in a1 a2 b1 b2 c1 c2 ref; do converter "$c"; done
for c in a1 a2 b1 b2 c1 c2 ref; do
  for i in $(seq 1 100); do [ -e "$work/$c" ] && break; sleep 0.05; done
done
control() { # control NAME LINE: sets a converter's fault and waits until it holds it
  local seq=$RANDOM
  printf '%s\nseq=%s\n' "$2" "$seq" >"$work/$1.control"
  for i in $(seq 1 100); do grep -qx "seq=$seq" "$work/$1.control.state" 2>/dev/null && return 0; sleep 0.05; done
  return 1
}
{
  echo '[benches]'
  for h in a b c; do
    echo "bench-$h ansible_connection=local converter_ports='[\"$work/${h}1\", \"$work/${h}2\"]'"
  done
  echo '[benches:vars]'
  echo "quorin_cli=$CLI"
  echo "result_dir=$work"
  echo "tries=2"
} >"$work/inventory"

play() { # play LOG PLAYBOOK [ansible-playbook args...]: its output in LOG, its status returned
  local out=$1 book=$2; shift 2
  ansible-playbook -i "$work/inventory" "$PLAYS/$book" "$@" >"$work/$out" 2>&1
}
recap() { # recap LOG HOST FIELD: the number the play's recap gives
  sed -n "s/^$2 *:.* $3=\([0-9]*\).*/\1/p" "$work/$1"
}
stored() { grep -c 'settings stored' "$work/$1.log"; }
# How often each converter has stored a block so far. A loaded machine may hold a
# converter's read-back past its time, and the retry then writes once more: a write is
# counted as at least one store, an unwritten converter as none more.
declare -A seen
remember() { local c; for c in "${all[@]}"; do seen[$c]=$(stored "$c"); done; }
written() { (($(stored "$1") > ${seen[$1]})); }
block() { "$CLI" read --port "$work/$1" --format hex 2>/dev/null | tr -d ' \n'; }
all=(a1 a2 b1 b2 c1 c2)

# --- check mode first, while every converter holds its defaults
why=()
play check.log set.yml --check --diff || why+=("the play failed: $(tail -n 5 "$work/check.log")")
for h in a b c; do
  [ "$(recap check.log "bench-$h" changed)" = 1 ] || why+=("bench-$h not reported changed")
done
for c in "${all[@]}"; do [ "$(stored "$c")" = 0 ] || why+=("$c was written in check mode"); done
remember
for line in '-serial.baud_rate: 9600' '+serial.baud_rate: 115200' '-can.bit_rate.arbitration: "1Mbps"' \
  '+can.bit_rate.arbitration: "500Kbps"' "--- before: $work/c2"; do
  grep -qxF -- "$line" "$work/check.log" || why+=("the diff lacks '$line'")
done
result fleet.check_mode "${why[@]}"

# --- the first run writes every converter, as quorin-cli set writes one
why=()
"$CLI" set --port "$work/ref" serial.baud_rate=115200 can.bit_rate.arbitration=500Kbps >/dev/null 2>&1 ||
  why+=("quorin-cli set failed on the reference converter")
expected=$(block ref)
play first.log set.yml || why+=("the play failed: $(tail -n 5 "$work/first.log")")
for h in a b c; do
  [ "$(recap first.log "bench-$h" changed)" = 1 ] || why+=("bench-$h not changed")
done
for c in "${all[@]}"; do
  written "$c" || why+=("$c was not written")
  [ -n "$expected" ] && [ "$(block "$c")" = "$expected" ] || why+=("$c holds another block")
done
result fleet.first_run "${why[@]}"

remember
why=()
play second.log set.yml --diff || why+=("the play failed: $(tail -n 5 "$work/second.log")")
for h in a b c; do
  [ "$(recap second.log "bench-$h" changed)" = 0 ] || why+=("bench-$h changed again")
done
for c in "${all[@]}"; do written "$c" && why+=("$c written again"); done
result fleet.second_run "${why[@]}"

# --- one silent converter fails its bench only
why=()
control c2 fault=silent || why+=("c2 did not turn silent")
play silent.log set.yml -e baud=57600 && why+=("the play succeeded")
[ "$(recap silent.log bench-c failed)" = 1 ] || why+=("bench-c did not fail")
grep -q "$work/c2: no answer within 300 ms" "$work/silent.log" || why+=("bench-c's failure lacks the program's message")
for h in a b; do
  [ "$(recap silent.log "bench-$h" failed)" = 0 ] && [ "$(recap silent.log "bench-$h" changed)" = 1 ] ||
    why+=("bench-$h was not served")
done
for c in a1 a2 b1 b2 c1; do written "$c" || why+=("$c was not written"); done
written c2 && why+=("the silent c2 stored something")
result fleet.silent "${why[@]}"

# --- converter_info reads what the program reads
why=()
control c2 fault=none || why+=("c2 did not answer again")
play info.log info.yml || why+=("the play failed: $(tail -n 5 "$work/info.log")")
for h in a b c; do
  for n in 1 2; do
    "$CLI" read --json --port "$work/$h$n" 2>/dev/null >"$work/$h$n.read.json"
  done
  python3 - "$work" "$h" <<'PY' || why+=("bench-$h: converter_info differs from quorin-cli read --json")
import json, sys
work, h = sys.argv[1], sys.argv[2]
got = json.load(open(f'{work}/bench-{h}.json'))
ports = [f'{work}/{h}{n}' for n in (1, 2)]
assert [c['port'] for c in got['converters']] == ports, got
for c, port in zip(got['converters'], ports):
    cli = json.load(open(f'{port}.read.json'))['ports'][0]
    assert c['profile'] == cli['profile'] and c['identity'] == cli['profile']['identity'], port
assert set(ports) <= set(got['found']), got['found']
PY
done
result fleet.info "${why[@]}"

# --- a whole profile: written where it differs, then nothing more
why=()
"$CLI" set --port "$work/ref" serial.mode=RS485 >/dev/null 2>&1 && "$CLI" read --port "$work/ref" --out "$work/site.json" >/dev/null 2>&1 ||
  why+=("cannot make the profile")
profile() { # profile LOG: writes site.json to bench-a's converters with an ad-hoc command
  ansible bench-a -i "$work/inventory" -m quorin.canconfig.converter \
    -a "{\"port\": [\"$work/a1\", \"$work/a2\"], \"cli\": \"$CLI\", \"profile\": \"$work/site.json\", \"retries\": 2}" \
    >"$work/$1" 2>&1
}
remember
profile profile1.log && grep -q '^bench-a | CHANGED' "$work/profile1.log" || why+=("the first write: $(head -n 3 "$work/profile1.log")")
for c in a1 a2; do
  [ "$(block "$c")" = "$(block ref)" ] || why+=("$c does not hold the profile")
  written "$c" || why+=("$c was not written")
done
remember
profile profile2.log && grep -q '^bench-a | SUCCESS' "$work/profile2.log" || why+=("the second write: $(head -n 3 "$work/profile2.log")")
for c in a1 a2; do written "$c" && why+=("$c written by the second write"); done
result fleet.profile "${why[@]}"
