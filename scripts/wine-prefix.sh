#!/usr/bin/env bash
# Makes the project's Wine prefix (never the user's ~/.wine): Chinese locale,
# fonts that show Chinese, and a virtual desktop so that windows get frames and
# the notification area a taskbar.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"
stamp="$WINEPREFIX/.lanzhan-prefix-v3"
[ -f "$stamp" ] && exit 0
echo "setup: making the Wine prefix $WINEPREFIX"
mkdir -p "$WINEPREFIX"
WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
reg=$(mktemp --suffix=.reg)
font="WenQuanYi Micro Hei"
cat > "$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]
"mscoree"=""
"mshtml"=""
"winemenubuilder.exe"=""

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"SimSun"="$font"
"NSimSun"="$font"
"MS Shell Dlg"="$font"
"MS Shell Dlg 2"="$font"
"Tahoma"="$font"
"Microsoft Sans Serif"="$font"
"Microsoft YaHei"="$font"
REG
# regedit reads a REGEDIT4 file in the ANSI code page; the names above are ASCII.
wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
rm -f "$reg"
wineserver -w
# Wine links the user's Documents, Desktop, Pictures ... to the Linux home
# folder; the tests back these folders up, so they must be the prefix's own.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
done
# This Wine does not find its own TrueType fonts where it looks for them; the
# title bar buttons are drawn with Marlett and show letters without it.
for font in /usr/share/wine/fonts/*.ttf; do
  [ -e "$font" ] && cp -f "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done
touch "$stamp"
