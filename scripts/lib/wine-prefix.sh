#!/usr/bin/env bash
# Creates the Windows build's private Wine prefix once: no Mono or Gecko
# installers, and a CJK font that Windows programs find under the names
# they ask for, so that Chinese texts render. Later runs return at once.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

stamp="$WINEPREFIX/.launcher-prefix-4"
[ -f "$stamp" ] && exit 0

say "bootstrap: creating the Wine prefix $WINEPREFIX"
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 || die "wineboot failed"
wineserver -w

font=$(fc-match -f '%{file}' 'WenQuanYi Micro Hei' 2>/dev/null || true)
[ -f "$font" ] || font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
[ -f "$font" ] || die "no CJK font found (fonts-wqy-microhei)"
cp -f "$font" "$WINEPREFIX/drive_c/windows/Fonts/"

# Chinese face names map to the CJK font, and the dialog fonts link to it.
reg="$WINEPREFIX/launcher-fonts.reg"
python3 - "$reg" <<'PY'
import sys
faces = ["Microsoft YaHei", "微软雅黑", "SimSun", "宋体", "NSimSun", "SimHei", "黑体", "Microsoft JhengHei"]
lines = ["Windows Registry Editor Version 5.00", "",
         r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]"]
lines += ['"%s"="WenQuanYi Micro Hei"' % f for f in faces]
lines += ["", r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]"]
link = 'hex(7):' + ','.join('%02x,%02x' % (b & 0xff, 0) for b in "wqy-microhei.ttc,WenQuanYi Micro Hei".encode('latin-1')) + ',00,00,00,00'
for face in ["Tahoma", "MS Shell Dlg", "MS Shell Dlg 2", "Segoe UI", "Arial"]:
    lines.append('"%s"=%s' % (face, link))
# Programs whose windows maximise: with no window manager on the X server,
# Wine manages their windows itself, as Windows does, instead of leaving
# maximising to a window manager that is not there.
for program in ["game_win_tests.exe", "game_host.exe", "LauncherQAMB.exe"]:
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\AppDefaults\%s\X11 Driver]" % program,
              '"Managed"="N"']
text = "\r\n".join(lines) + "\r\n"
open(sys.argv[1], "wb").write(b"\xff\xfe" + text.encode("utf-16-le"))
PY
wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || die "regedit failed"
wineserver -w
touch "$stamp"
