#!/bin/bash
# The real launcher on a real X server (run through xvfb-run on a 1024 x 768 screen): a click
# on "Hilfe" starts DATEN/Hilfe in its own folder, found relative to the launcher because no
# Installationsort.ini is there, and ends the launcher; "Beenden" ends it and starts nothing;
# "Homepage" opens the game's forum.
# Usage: choose_entries.sh <Launch program>
set -u
launch="$1"
top=$(mktemp -d /tmp/korax-launch-XXXXXX)
trap 'rm -rf "$top"' EXIT
cp "$launch" "$top/Launch"
mkdir -p "$top/DATEN"
printf '#!/bin/sh\npwd > "%s/gestartet"\n' "$top" > "$top/DATEN/Hilfe"
chmod +x "$top/DATEN/Hilfe"
failures=0

# Presses entry k (1..5) of the picture resting at (337, 179) once the launcher is at rest.
press_entry() {
    sleep 4
    xdotool mousemove $((337 + 250)) $((179 + 150 + 40 * $1 + 20))
    sleep 0.3
    xdotool mousedown 1
    sleep 0.1
    xdotool mouseup 1
}

# Waits up to 15 seconds for the launcher to end; its exit status, or 124 when it did not.
wait_for_end() {
    for _ in $(seq 1 150); do
        if ! kill -0 "$1" 2>/dev/null; then
            wait "$1"
            return $?
        fi
        sleep 0.1
    done
    kill "$1"
    return 124
}

check() {
    if [ "$1" = "$2" ]; then echo "ok: $3"; else echo "FAILED: $3 (got '$1', expected '$2')"; failures=$((failures + 1)); fi
}

"$top/Launch" &
pid=$!
press_entry 3
wait_for_end $pid
check "$?" 0 "Hilfe ends the launcher"
for _ in $(seq 1 50); do [ -s "$top/gestartet" ] && break; sleep 0.1; done
check "$(cat "$top/gestartet" 2>/dev/null)" "$top/DATEN" "Hilfe was started in DATEN"

rm -f "$top/gestartet"
"$top/Launch" &
pid=$!
press_entry 5
wait_for_end $pid
check "$?" 0 "Beenden ends the launcher"
sleep 0.5
check "$([ -e "$top/gestartet" ] && echo started || echo nothing)" nothing "Beenden starts nothing"

# "Homepage" hands the forum's address to the desktop's opener (a stand-in here, first on PATH).
mkdir -p "$top/bin"
printf '#!/bin/sh\necho "$1" > "%s/adresse"\n' "$top" > "$top/bin/xdg-open"
chmod +x "$top/bin/xdg-open"
PATH="$top/bin:$PATH" "$top/Launch" &
pid=$!
press_entry 4
wait_for_end $pid
check "$?" 0 "Homepage ends the launcher"
for _ in $(seq 1 50); do [ -s "$top/adresse" ] && break; sleep 0.1; done
check "$(cat "$top/adresse" 2>/dev/null)" "https://forum.korax3050.example/" "Homepage opens the forum"
check "$([ -e "$top/gestartet" ] && echo started || echo nothing)" nothing "Homepage starts no program"

echo "$((7 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
