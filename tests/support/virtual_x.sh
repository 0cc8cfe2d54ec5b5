# Sourced by the test scripts that start the real game on a virtual X server
# of their own. The script keeps the ids of the processes it starts in the
# array `pids`, stops them on its way out, and has a function `fail MESSAGE`.

# poll TRIES COMMAND...: true as soon as COMMAND succeeds, tried every tenth
# of a second.
poll() {
  local tries=$1
  shift
  for _ in $(seq "$tries"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# start_session_bus FILE: a D-Bus session bus of the script's own, as a
# desktop has, its address kept in FILE. Without one, Qt's accessibility
# bridge has libdbus launch a bus for the display, forking from a thread of
# a process with several; in a build with AddressSanitizer that child can
# hang before it runs dbus-launch, and the game with it.
start_session_bus() {
  dbus-daemon --session --nofork --nopidfile --print-address=1 >"$1" 2>/dev/null &
  pids+=($!)
  poll 50 test -s "$1" || fail "the session bus did not start"
  DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$1")
  export DBUS_SESSION_BUS_ADDRESS
}

# start_xvfb SIZE FILE: a virtual X server with one screen of SIZE (such as
# 1280x1024x24) on a display it chooses, written to FILE; DISPLAY points at
# it. Without -noreset the server starts itself anew each time its last
# client leaves, and refuses the clients that come meanwhile.
start_xvfb() {
  exec 3>"$2"
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset >/dev/null 2>&1 &
  pids+=($!)
  exec 3>&-
  poll 100 test -s "$2" || fail "Xvfb did not start"
  DISPLAY=":$(head -n 1 "$2")"
  export DISPLAY
}

# start_openbox LOG: openbox on DISPLAY, returning once it owns the screen and
# answers requests. openbox marks the screen as its own before it has
# finished starting, and what a client asks of it in that moment can be
# lost: a switch to the second desktop and back, asked for again until
# openbox has made it, shows that it now answers. A manager started the
# moment the server answers may still fail to open the display: it is
# started again, as often as three times.
start_openbox() {
  local wm desktop
  for _ in 1 2 3; do
    openbox --sm-disable >"$1" 2>&1 &
    wm=$!
    pids+=($wm)
    for _ in $(seq 100); do
      if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        for desktop in 1 0; do
          poll 50 sh -c "xdotool set_desktop $desktop; sleep 0.1; xprop -root _NET_CURRENT_DESKTOP | grep -q '= $desktop\$'" ||
            fail "openbox took the screen but does not answer requests"
        done
        return 0
      fi
      kill -0 "$wm" 2>/dev/null || break
      sleep 0.1
    done
  done
  fail "openbox did not take the screen: $(cat "$1")"
}

# Stops every process in `pids`, and waits for each.
stop_started() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}

# For a failure's report, on standard error: the game's windows on DISPLAY,
# with their place and whether they are mapped.
show_game_windows() {
  for w in $(xdotool search --name Quadrilex 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | grep -E 'xwininfo:|Map State|-geometry' >&2 || true
  done
}
