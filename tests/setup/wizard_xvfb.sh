#!/usr/bin/env bash
# The installer as a person uses it: under Xvfb, clicks on the controls of all five pages,
# installing into a temporary folder, then the installed game's first start from there.
# Screenshots of every step go to the folder given second; the run fails when a step does not
# show what it should. The user's home and the folder installed into are named by the third and
# fourth argument (below the work folder): a home named in Cyrillic and a folder with a
# backslash in its name must work like any other.
#
#   wizard_xvfb.sh <installer> <screenshot folder> [home name] [install folder name]
set -euo pipefail

installer=$(realpath "$1")
shots=$(realpath -m "$2")
home_name=${3:-home}
target_name=${4:-Spiele}
mkdir -p "$shots"
rm -f "$shots"/*.png

work=$(mktemp -d /tmp/korax-setup-XXXXXX)
pids=()
cleanup() {
  status=$?
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  # SDL turns a terminate signal into a quit request, which a game still loading never reads.
  sleep 1
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  pkill -KILL -f "$work/" 2>/dev/null || true
  if [ "$status" -eq 0 ]; then rm -rf "$work"; else echo "wizard_xvfb: left $work for a look" >&2; fi
}
trap cleanup EXIT

# A failing step leaves the screen as it was and the programs' last words.
fail() {
  echo "wizard_xvfb: $*" >&2
  [ -n "${DISPLAY:-}" ] && import -window root "$shots/fehler.png" 2>/dev/null || true
  tail -n 5 "$work"/*.log >&2 2>/dev/null || true
  exit 1
}

# The installer finds its package in its own file, whose name must be "setup".
home="$work/$home_name"
target="$home/$target_name"
mkdir -p "$work/bin" "$target"
cp "$installer" "$work/bin/setup"
# The user's session lives in the work folder, so the font goes into its font folder.
export HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache"
# No session bus here: GTK keeps its settings (the folder browser's) in memory.
export SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 GSETTINGS_BACKEND=memory
unset KORAX_MESSAGEBOX_ANSWER

# Xvfb picks a free display itself and says which. It must not reset when its last client
# leaves: the check below would otherwise race the installer for the restarting server.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"
xdotool getdisplaygeometry >/dev/null || fail "no X display at $DISPLAY"

shot() { sleep "${2:-0.4}"; import -window root "$shots/$1.png"; }
# The id of the visible window with exactly this title, if there is one. (Searching by name
# misses SDL's message boxes, whose titles xdotool reads only window by window.)
find_window() {
  local id
  for id in $(xdotool search --onlyvisible --classname '' 2>/dev/null); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return 0; }
  done
  return 1
}
# Waits for a window by its exact title; gives its id.
window() {
  for _ in $(seq 100); do
    find_window "$1" && return 0
    sleep 0.1
  done
  fail "no window \"$1\""
}
gone() {
  for _ in $(seq 100); do
    find_window "$1" >/dev/null || return 0
    sleep 0.1
  done
  fail "window \"$1\" is still open"
}
# Clicks at a point of the wizard's client area.
click() { xdotool mousemove $((wx + $1)) $((wy + $2)) click 1; sleep 0.3; }
# Start, and Abbrechen right after it, while the package is being unpacked. Unpacking takes
# a fraction of a second, so the installer is held while both clicks are queued for it: it then
# takes the second click in the middle of the unpacking, as it would from a slow person on a
# slow disk.
start_and_cancel() {
  kill -STOP "$setup_pid"
  xdotool mousemove $((wx + 445)) $((wy + 260)) click 1 mousemove $((wx + 200)) $((wy + 260)) click 1
  kill -CONT "$setup_pid"
}
# Presses the default button of a message box by moving onto it and pressing Return.
answer() {
  local id
  id=$(window "$1")
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  sleep 0.2
  xdotool key "$2"
  gone "$1"
}
# Clicks the one button of an SDL message box (the game's), which sits at the middle of its
# bottom, once the box has settled.
press_ok() {
  local id
  id=$(window "$1")
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 25)) click 1
  gone "$1"
}
# Types into the folder field, replacing what is there.
type_folder() {
  click 265 210
  xdotool key ctrl+a BackSpace
  xdotool type --delay 5 "$1"
  sleep 0.2
}

"$work/bin/setup" >"$work/setup.log" 2>&1 &
setup_pid=$!
pids+=($setup_pid)
id=$(window "KORAX 3050 - Installation")
eval "$(xdotool getwindowgeometry --shell "$id")"
wx=$X wy=$Y
[ "$WIDTH" = 500 ] && [ "$HEIGHT" = 280 ] || fail "client area is ${WIDTH}x$HEIGHT, not 500x280"
[ "$wx" = 262 ] && [ "$wy" = 234 ] || fail "window at $wx,$wy, not 262,234 on a 1024x768 screen"

shot 1-vorwort
xdotool key Return                # Weiter is the default button from the start
shot 2-voraussetzungen            # Weiter is disabled
click 445 260                     # nothing happens while the box is unchecked
shot 2-weiter-gesperrt
click 180 215                     # the requirement box
click 200 260                     # Zurück to the foreword
click 445 260                     # Weiter: the box is still checked
shot 2-bestaetigt
click 445 260                     # Weiter
shot 3-installationsort
# The field shows the home folder as the system names it, whatever its script.
xdotool mousemove $((wx + 265)) $((wy + 210)) click 1 key ctrl+a ctrl+c
sleep 0.3
[ "$(xclip -selection clipboard -o)" = "$HOME/" ] || fail "the folder field shows '$(xclip -selection clipboard -o)', not '$HOME/'"
type_folder "$work/fehlt"
click 445 260                     # Weiter: the folder does not exist
shot 3-fehler 0.8
answer FEHLER Return
click 420 210                     # Durchsuchen
window Installationsort >/dev/null
shot 3-durchsuchen 0.8            # it opens at the folder in the field (what was typed is gone, so its parent)
answer Installationsort Escape    # cancelled: the field keeps what was typed
shot 3-nach-abbruch
click 420 210                     # Durchsuchen again, and this time a folder is picked
id=$(window Installationsort)
# The folder is pasted into the browser's location field: typed key by key, the field's own
# completion of names races the keys.
printf '%s' "$target/" | xclip -selection clipboard -loops 1 &
pids+=($!)
sleep 0.2
xdotool mousemove 512 384 key ctrl+l
sleep 0.2
xdotool key ctrl+v
sleep 0.6
eval "$(xdotool getwindowgeometry --shell "$id")"
xdotool mousemove $((X + WIDTH - 60)) $((Y + HEIGHT - 24)) click 1   # Auswählen
gone Installationsort
shot 3-gewaehlt
click 445 260                     # Weiter: the folder test passes
shot 4-installation
start_and_cancel                  # Start, and Abbrechen at once
shot 4-achtung 0.8
answer ACHTUNG Return             # Ja: back to the folder page, what was unpacked stays
shot 4-abgebrochen
click 445 260                     # Weiter
start_and_cancel                  # Start again, Abbrechen ...
answer ACHTUNG Escape             # ... Nein: the unpacking goes on
shot 4-hinweis 0.8
answer HINWEIS Return             # the note; then the shadow maker runs
window "KORAX 3050 - Installation" >/dev/null
# The report page comes once the shadow maker has ended; a click before it would be dropped
# with the installation page's other events.
for _ in $(seq 1200); do
  [ "$(ls "$target/KORAX 3050/DATEN/BMP/O/Schatten" 2>/dev/null | wc -l)" = 182 ] &&
    ! pgrep -f "$target/KORAX 3050/DATEN/BMP/O/terrashade" >/dev/null && break
  sleep 0.1
done
shot 5-bericht 1.5
click 445 260                     # Fertig: starts the launcher and ends
# A loaded machine (the sanitized build beside other tests) may take its time to wind GTK down.
for _ in $(seq 200); do kill -0 "$setup_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$setup_pid" 2>/dev/null && fail "the installer did not end after Fertig"
wait "$setup_pid" || fail "the installer ended with status $?"
# "Fertig" starts the launcher from the installed folder; its "Hilfe" starts the help viewer.
window "KORAX 3050 - Launch" >/dev/null
shot 6-launcher 4
xdotool mousemove $((337 + 250)) $((179 + 150 + 40 * 3 + 20)); sleep 0.3
xdotool mousedown 1; sleep 0.1; xdotool mouseup 1
help_window=$(window "HILFE - KORAX 3050")
shot 6-hilfe 3
kill "$(xdotool getwindowpid "$help_window")"

top="$target/KORAX 3050"
record=$(od -An -c "$top/DATEN/Installationsort.ini" | tr -s ' ')
if printf '%s' "$top" | iconv -f UTF-8 -t LATIN1 >/dev/null 2>&1 && [[ "$top" != *\\* ]]; then
  expected=$(printf '%s\r\n' "$(echo "$top/" | tr / '\\' | iconv -f UTF-8 -t LATIN1)" | od -An -c | tr -s ' ')
else
  # A folder the Latin-1 form cannot carry is recorded as the system names it, marked in front.
  expected=$(printf '\xEF\xBB\xBF%s/\r\n' "$top" | od -An -c | tr -s ' ')
fi
[ "$record" = "$expected" ] || fail "Installationsort.ini holds$record"
[ "$(ls "$top/DATEN/BMP/O/Schatten" | wc -l)" = 182 ] || fail "the shadow maker did not write its 182 shadows"
# The menu entries: valid, and starting the programs that were installed.
for entry in korax3050 korax3050-hilfe; do
  desktop-file-validate "$XDG_DATA_HOME/applications/$entry.desktop" || fail "the menu entry $entry is not valid"
  [ -s "$XDG_DATA_HOME/icons/hicolor/128x128/apps/$entry.png" ] || fail "the menu entry $entry has no icon"
done
grep -q "^Path=.*KORAX 3050/\$" "$XDG_DATA_HOME/applications/korax3050.desktop" || fail "the launcher's entry names no folder"
[ -f "$XDG_DATA_HOME/fonts/Omiczp__.ttf" ] || fail "the font is not in the user's font folder"
fc-list : family | grep -q "Omicron Zeta Pressed" || fail "fontconfig does not know the font"

# The installed game's first start: its note, the generators, the loading, then a free game.
"$top/DATEN/KORAX 3050" >"$work/game.log" 2>&1 &
game_pid=$!
pids+=($game_pid)
# SDL draws this note in a child process of the game, which now and then ends before it shows
# the box (the game then goes on as if OK was pressed); the run notes it and goes on. On a busy
# machine the note can take its time: it is looked for until the generators have started.
tiles() { ls "$top/DATEN/BMP/B" | grep -c -- '-[0-9][0-9]\.bmp$'; }
shown=0
for _ in $(seq 600); do
  find_window HINWEIS >/dev/null && { shown=1; break; }
  [ "$(tiles)" -gt 0 ] && break
  sleep 0.1
done
if [ "$shown" = 1 ]; then
  shot 7-spiel-hinweis 0.5
  press_ok HINWEIS
else
  echo "wizard_xvfb: the game's first-start note did not show; its generators run all the same" >&2
fi
for _ in $(seq 1200); do
  [ "$(tiles)" -ge 154 ] && break
  sleep 0.1
done
shot 8-spiel 8
# Escape ends the intro; on the main menu "Beenden" and then "Ja" end the game. The pointer
# moves 1.5 pixels per pixel of the mouse and stops at the screen's edges, so every round
# first drives it into the top-left corner and goes from there. A key or a move that came
# while the game was still loading is lost, so the walk is tried again until the game ends.
for round in $(seq 6); do
  xdotool key Escape
  if [ "$round" = 1 ]; then shot 9-spiel-menue 2; else sleep 2; fi
  xdotool mousemove_relative -- -2000 -2000; sleep 0.5
  xdotool mousemove_relative -- 120 457; sleep 0.5
  xdotool mousedown 1; sleep 0.1; xdotool mouseup 1; sleep 1
  xdotool mousemove_relative -- -50 -320; sleep 0.5
  xdotool mousedown 1; sleep 0.1; xdotool mouseup 1
  for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$game_pid" 2>/dev/null || break
done
kill -0 "$game_pid" 2>/dev/null && fail "the game did not end through Beenden and Ja"
wait "$game_pid" || fail "the game ended with status $? ($(tail -n 3 "$work/game.log"))"
[ "$(ls "$top/DATEN/BMP/B" | grep -c -- '-[0-9][0-9]\.bmp$')" = 154 ] || fail "the game's first start made no tiles"
echo "wizard_xvfb: installed, the game started from the installed folder; screenshots in $shots"
