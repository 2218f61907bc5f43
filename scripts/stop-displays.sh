#!/usr/bin/env bash
# Stops the Xvfb servers that wine-run started for the Wine prefixes named, each after its prefix's
# wineserver, so that no Wine program is left to report a lost display:
#   stop-displays.sh PREFIX...
# A server counts only when wine-run recorded it beside the prefix (PREFIX.xvfb: its pid and start
# time) and that process is still that Xvfb; any other display, a developer's own included, is
# left alone. A prefix without a recorded server is skipped.
set -uo pipefail
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

# The start time (field 22 of /proc/PID/stat) of a running Xvfb, or nothing.
xvfb_start_time() {
  local stat fields
  [ "$(cat "/proc/$1/comm" 2>/dev/null)" = Xvfb ] || return 0
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 0
  read -ra fields <<<"${stat##*) }"
  echo "${fields[19]}"
}

for prefix in "$@"; do
  record="${prefix}.xvfb"
  [ -f "$record" ] || continue
  # Taken as wine-run takes it before it starts a server, so that none starts meanwhile.
  exec 9>"${prefix}.lock"
  flock -w 60 9 || echo "stop-displays: ${prefix} is busy; stopping its display anyway" >&2
  read -r pid started <"$record" || true
  if [ -n "${pid:-}" ] && [ -n "${started:-}" ] && [ "$(xvfb_start_time "$pid")" = "$started" ]; then
    if [ -d "$prefix" ]; then
      WINEPREFIX="$prefix" "$wineserver" -k 2>/dev/null || true
      WINEPREFIX="$prefix" timeout 30 "$wineserver" -w 2>/dev/null || true
    fi
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 100); do
      [ "$(xvfb_start_time "$pid")" = "$started" ] || break
      sleep 0.05
    done
    if [ "$(xvfb_start_time "$pid")" = "$started" ]; then
      kill -KILL "$pid" 2>/dev/null || true
    fi
    echo "stop-displays: stopped Xvfb $(cat "${prefix}.display" 2>/dev/null) (pid ${pid})"
  fi
  rm -f "$record" "${prefix}.display"
  exec 9>&-
done
exit 0
