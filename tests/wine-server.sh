#!/usr/bin/env bash
# Brings up and takes down the Wine server of a Windows build's prefix
# around its tests (a CTest fixture). WINEPREFIX and the rest of Wine's
# settings come in the environment.
#   wine-server.sh start WINE...
#   wine-server.sh stop
# start makes the prefix on first use and starts the server and the
# prefix's services with their output going nowhere: services started by
# a test's own run would keep that test's output pipe open, and CTest would
# wait on it until the time limit.
set -u
case $1 in
start)
    shift
    if ! "$@" --version >/dev/null 2>&1; then
        echo "$* cannot start: this kernel runs no 32-bit x86 program." \
             "CONTRIBUTING.md (Windows under Wine) says how to run it through qemu-i386."
        exit 1
    fi
    mkdir -p "$WINEPREFIX" || exit 1
    # It stays between the tests, and ends a minute after the last one
    # should the stop never come.
    wineserver -p60 </dev/null >/dev/null 2>&1 || exit 1
    "$@" wineboot -i </dev/null >/dev/null 2>&1
    # The server keeps the registry in memory until it ends: ended once
    # here, it writes it to the prefix's files, which wine-explorer copies.
    # Then the server and the services again.
    wineserver -k </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1
    wineserver -p60 </dev/null >/dev/null 2>&1 || exit 1
    "$@" wineboot </dev/null >/dev/null 2>&1
    ;;
stop)
    wineserver -k </dev/null >/dev/null 2>&1
    exit 0
    ;;
esac
