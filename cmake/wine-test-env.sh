#!/bin/bash
# wine-test-env.sh start|stop <state dir>
#
# start: makes sure the zh_CN.UTF-8 and en_US.UTF-8 locales exist (without
# them Wine keeps code page 1252 and mangles non-ASCII names), starts Xvfb on
# a free display and a persistent wineserver for the test prefix, both
# detached from ctest's pipes (ctest would otherwise wait for them for ever),
# and initialises the prefix.
# stop: ends the wineserver of the prefix and the Xvfb.
set -eu
action=$1
state=$(realpath -m "$2")
export WINEPREFIX="$state/prefix" HOME="$state/home"
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all

have_locale() { locale -a 2>/dev/null | grep -qix "$1"; }

ensure_locales() {
  for pair in zh_CN:zh_CN.utf8 en_US:en_US.utf8; do
    if ! have_locale "${pair#*:}"; then
      echo "compiling locale ${pair%%:*}.UTF-8"
      localedef -i "${pair%%:*}" -c -f UTF-8 "${pair%%:*}.UTF-8"
    fi
  done
}

start_display() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    setsid -f Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && { echo "DISPLAY=:$n" > "$state/env"; return 0; }
      sleep 0.1
    done
  done
  echo "no free X display" >&2
  return 1
}

case $action in
  start)
    ensure_locales
    mkdir -p "$state/home"
    "$0" stop "$state" >/dev/null 2>&1 || true
    start_display
    . "$state/env"
    export DISPLAY
    setsid -f wineserver -p >/dev/null 2>&1 </dev/null
    # The first start creates the prefix (about ten seconds).
    setsid wine wineboot --init >"$state/wineboot.log" 2>&1 </dev/null
    echo "wine prefix $WINEPREFIX ready on display $DISPLAY"
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    if [ -f "$state/env" ]; then
      . "$state/env"
      pkill -f "Xvfb $DISPLAY( |\$)" 2>/dev/null || true
      rm -f "$state/env"
    fi
    ;;
  *)
    echo "usage: $0 start|stop <state dir>" >&2
    exit 2
    ;;
esac
