#!/usr/bin/env bash
# Every program of the suite, started without any display (over SSH, from a text console):
# each ends at once with the German message and a non-zero status, none runs unseen.
#
#   no_display.sh <game> <setup> <Launch> <Hilfe>
set -u
failures=0
for program in "$@"; do
  name=$(basename "$program")
  log=$(mktemp)
  start=$(date +%s%N)
  # No display of any kind, and no video driver asked for by name.
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$program" >"$log" 2>&1 </dev/null
  status=$?
  millis=$(( ($(date +%s%N) - start) / 1000000 ))
  if [ "$status" -eq 0 ] || [ "$status" -eq 124 ]; then
    echo "FAILED: $name ended with status $status after $millis ms"; failures=$((failures + 1))
  elif ! grep -q "^korax: .*: Kein Bildschirm gefunden: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt" "$log"; then
    echo "FAILED: $name said: $(cat "$log")"; failures=$((failures + 1))
  else
    echo "ok: $name ended with status $status after $millis ms"
  fi
  rm -f "$log"
done
echo "$(( $# - failures )) passed, $failures failed"
[ "$failures" -eq 0 ]
