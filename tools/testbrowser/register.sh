#!/usr/bin/env bash
# Registers a build's test browser in the Windows build's Wine prefix under
# the WebBrowser class id, in place of Wine's own, and checks that the
# class now names it. The prefix is made once and kept, so every test run
# and the demo register their current build again.
#   register.sh DLL
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"

dll=${1:?path of testbrowser.dll}
[ -f "$dll" ] || { echo "no test browser at $dll"; exit 1; }
windows_path=$(winepath -w "$dll" 2>/dev/null) || { echo "winepath failed for $dll"; exit 1; }
wine regsvr32 /s "$windows_path" >/dev/null 2>&1 || { echo "regsvr32 $windows_path failed"; exit 1; }
key='HKLM\Software\Classes\CLSID\{8856F961-340A-11D0-A96B-00C04FD705A2}\InprocServer32'
server=$(wine reg query "$key" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
if [ "${server,,}" != "${windows_path,,}" ]; then
  echo "the WebBrowser class names '$server', not $windows_path"
  exit 1
fi
echo "WebBrowser class id -> $windows_path"
