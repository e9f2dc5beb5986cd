#!/usr/bin/env bash
# Starts and stops the dev portal for a test run and points the Windows
# build's Wine prefix at it as the HTTP proxy.
#   fixture.sh start STATE_DIR [RESOURCE_DIR]
#   fixture.sh stop STATE_DIR
# STATE_DIR receives "port", "pid", "requests.log" and "devportal.out".
# Requests for 127.0.0.1 bypass the proxy, so that tests can still meet a
# refused port directly.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"

settings='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'

set_proxy() {  # port|""
  if [ -n "$1" ]; then
    wine reg add "$settings" /v ProxyServer /t REG_SZ /d "127.0.0.1:$1" /f >/dev/null 2>&1 &&
    wine reg add "$settings" /v ProxyOverride /t REG_SZ /d "127.0.0.1" /f >/dev/null 2>&1 &&
    wine reg add "$settings" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null 2>&1
  else
    wine reg add "$settings" /v ProxyEnable /t REG_DWORD /d 0 /f >/dev/null 2>&1
  fi
}

stop_portal() {  # state-dir
  local pid
  pid=$(cat "$1/pid" 2>/dev/null) || return 0
  kill "$pid" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  rm -f "$1/pid"
}

case "${1:-}" in
  start)
    state=${2:?state folder}
    resources=${3:-}
    mkdir -p "$state"
    stop_portal "$state"  # one left over by an interrupted run
    rm -f "$state/port"
    python3 "$here/devportal.py" --state-dir "$state" ${resources:+--resource-dir "$resources"} \
      >"$state/devportal.out" 2>&1 </dev/null &
    echo $! >"$state/pid"
    for _ in $(seq 100); do [ -s "$state/port" ] && break; sleep 0.1; done
    [ -s "$state/port" ] || { echo "devportal did not start:"; cat "$state/devportal.out"; exit 1; }
    port=$(cat "$state/port")
    set_proxy "$port" || { echo "cannot set the Wine prefix's proxy"; stop_portal "$state"; exit 1; }
    echo "devportal on 127.0.0.1:$port (state $state)"
    ;;
  stop)
    state=${2:?state folder}
    set_proxy ""
    stop_portal "$state"
    echo "devportal stopped"
    ;;
  *)
    echo "usage: $0 start STATE_DIR [RESOURCE_DIR] | stop STATE_DIR" >&2
    exit 2
    ;;
esac
