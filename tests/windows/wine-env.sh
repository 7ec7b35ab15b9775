# Shared Wine set-up for the project's scripts: a private prefix, a display, quiet logs.
# Source it, then call enigo_wine_ready before running Windows programs.
# shellcheck shell=bash

export WINEPREFIX="${ENIGO_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/enigo/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
ENIGO_XVFB_DISPLAY="${ENIGO_XVFB_DISPLAY:-:97}"

# Closes every descriptor above stderr: Wine's helper processes (wineserver, explorer, services) inherit
# descriptors, and a test runner's pipe kept open by them would never see end-of-file.
enigo_close_fds() {
  local fd n
  for fd in /proc/$BASHPID/fd/*; do
    n=${fd##*/}
    [ "$n" -gt 2 ] 2>/dev/null && eval "exec $n>&-"
  done
}

# Runs "$@" to its end in its own session, holding no descriptor of ours.
enigo_detached() { (enigo_close_fds; exec setsid --wait "$@" </dev/null >/dev/null 2>&1); }

# Starts "$@" in its own session and returns at once. The fork that execs is the only process between us
# and it, so no waiting shell is left holding the caller's pipe.
enigo_spawn() { (enigo_close_fds; exec setsid "$@" </dev/null >/dev/null 2>&1) & }

enigo_display_alive() { [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; }

# Uses the caller's display when it answers, else an Xvfb of our own (started once).
enigo_display() {
  enigo_display_alive && return 0
  export DISPLAY="$ENIGO_XVFB_DISPLAY"
  enigo_display_alive && return 0
  enigo_spawn Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp
  for _ in $(seq 1 100); do enigo_display_alive && return 0; sleep 0.1; done
  echo "enigo: Xvfb did not start on $DISPLAY" >&2
  return 1
}

enigo_wine_boot() {
  mkdir -p "$WINEPREFIX"
  [ -f "$WINEPREFIX/.enigo-ready" ] && return 0
  enigo_detached wine wineboot --init
  # Without a window manager every hide of a shown top-level window stalls; a crash must not open a
  # dialog that waits forever.
  enigo_detached wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
  enigo_detached wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  # Let the server write the registry out before the prefix counts as ready.
  wineserver -w
  touch "$WINEPREFIX/.enigo-ready"
}

# Without a sound card, sound plays into a null sink: an ALSA configuration kept in the prefix and named
# only in the environment of our Wine programs (a user's own ~/.asoundrc stays untouched).
enigo_sound_sink() {
  compgen -G '/dev/snd/pcm*' >/dev/null && ! grep -qs 'no soundcards' /proc/asound/cards && return 0
  local conf="$WINEPREFIX/enigo-alsa.conf"
  mkdir -p "$WINEPREFIX"
  # Renamed into place, so a parallel caller never reads it half written.
  [ -f "$conf" ] || { echo 'pcm.!default { type null }' >"$conf.$BASHPID" && mv "$conf.$BASHPID" "$conf"; }
  export ALSA_CONFIG_PATH="$conf"
}

# Display, sound sink and prefix, once; safe for parallel callers. With the keeper's path ($1 or
# ENIGO_KEEPER) it also makes sure the keeper runs before any other Windows program.
enigo_wine_ready() {
  local keeper=${1:-${ENIGO_KEEPER:-}}
  enigo_display
  enigo_sound_sink
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    enigo_wine_boot
    if [ -n "$keeper" ] && [ -f "$keeper" ]; then enigo_keeper "$keeper"; fi
  ) 9>"$WINEPREFIX.lock"
}

# The keeper holds an idle window so the wineserver and desktop stay up between programs. It must be the
# first Windows program of a session: whichever comes first starts the wineserver and desktop, and if that
# is a test under CTest they inherit CTest's pipes and test discovery never sees their end. So this waits
# until the keeper says it is up.
enigo_keeper() {
  local exe=$1 ready="$WINEPREFIX/enigo-keeper.ready" pidfile="$WINEPREFIX/enigo-keeper.pid"
  # Alive and still the keeper (a reused pid is not).
  [ -f "$ready" ] && [ -f "$pidfile" ] && grep -qa wine_keeper "/proc/$(cat "$pidfile")/cmdline" 2>/dev/null && return 0
  rm -f "$ready"
  # The keeper gets its ready file as a Windows path; the prefix's drive Z: is the root.
  enigo_spawn wine "$exe" "Z:${ready//\//\\}"
  echo $! >"$pidfile"
  for _ in $(seq 1 600); do [ -f "$ready" ] && return 0; sleep 0.1; done
  echo "enigo: the Wine keeper did not start within 60 s" >&2
  return 1
}
