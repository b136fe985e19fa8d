#!/bin/sh
# wine-run.sh <state dir> <program> [args...]: runs a Windows program in the
# test Wine prefix and display that wine-test-env.sh started.
state=$1
shift
[ -f "$state/env" ] && . "$state/env"
export WINEPREFIX="$state/prefix" HOME="$state/home"
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG="${WINEDEBUG:--all}"
export DISPLAY
exec wine "$@"
