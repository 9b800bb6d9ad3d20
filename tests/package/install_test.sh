#!/usr/bin/env bash
# The packages under Wine: the installer runs silently into a temporary folder
# (Chinese name, blanks, as under Program Files), puts the program, its help and
# the boot folder there with shortcuts and an uninstall entry; the installed
# program starts from there and shows its main window; the uninstaller removes
# what was installed and nothing of the user's. The portable zip holds the same
# files and its program starts too. The XP packages are checked for their files
# only: there is no 32-bit Wine here to run them.
#   install_test.sh <packages folder> <version> <win64 build folder>
set -uo pipefail
packages=$(cd "$1" && pwd) version=$2 bin=$(cd "$3" && pwd)
setup="$packages/lanzhan-$version-win64-setup.exe"
title="岚栈备份专家 V$version"
failures=0
fail() { echo "install_test: FAILED: $*" >&2; failures=$((failures + 1)); }
ok() { echo "install_test: ok: $*"; }
check() { local what=$1; shift; if "$@"; then ok "$what"; else fail "$what"; fi; }
for f in "$setup" "$packages/lanzhan-$version-win64.zip" "$bin/window_owner.exe"; do
  [ -f "$f" ] || { echo "install_test: $f is missing: scripts/package.sh win64 makes the packages" >&2; exit 1; }
done

drive_c=$(winepath -u 'C:\' 2>/dev/null | sed 's:/*$::')
[ -d "$drive_c" ] || { echo "install_test: no Wine prefix" >&2; exit 1; }
name="lz安装测试 $$"
win="C:\\$name\\岚栈备份专家"
dir="$drive_c/$name/岚栈备份专家"
backups="$drive_c/lz备份测试 $$"
worktask="$drive_c/BackTemp/lz-install-test-$$.bat"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\LanzhanBackup'
cleanup() { rm -rf "$drive_c/$name" "$drive_c/$name.bat" "$backups" "$worktask"; }
trap cleanup EXIT
cleanup

installed_files=(lanzhan.exe lanzhan.chm boot/README.txt uninst.exe)
shortcuts() { find "$drive_c/ProgramData/" "$drive_c/users/" \( -path "*Start Menu*" -o -path "*Desktop*" \) -name '*.lnk' -path '*岚栈备份专家*' 2>/dev/null | sort; }
lower() { printf '%s' "$1" | tr 'A-Z/' 'a-z\\'; }

# Starts a program and waits for the main window: its owner must be that program.
starts() {
  local exe=$1 winexe=$2 owner
  (cd "$(dirname "$exe")" && wine "$exe" >/dev/null 2>&1) &
  local app=$!
  owner=$(wine "$bin/window_owner.exe" "$title" 90000 | tr -d '\r')
  [ -n "$owner" ] && wine "$bin/window_owner.exe" --close "$title" 10000 >/dev/null
  for _ in $(seq 300); do kill -0 $app 2>/dev/null || break; sleep 0.2; done
  kill -0 $app 2>/dev/null && { echo "install_test: the program did not end when its main window closed" >&2; return 1; }
  [ "$(lower "$owner")" = "$(lower "$winexe")" ] || { echo "install_test: the main window belongs to '$owner'" >&2; return 1; }
}
# The folder after /D= must not be quoted, and wine quotes an argument with
# blanks: the command line is given through a batch file (in the console's
# code page, GBK) instead.
install() {
  printf '@"%s" /S /D=%s\r\n' "$(winepath -w "$setup")" "$win" | iconv -f UTF-8 -t GBK > "$drive_c/$name.bat"
  wine cmd /c "C:\\$name.bat" >/dev/null 2>&1
}
# The uninstaller copies itself away and returns at once: wait for its work.
uninstall() {
  wine "$dir/uninst.exe" /S >/dev/null 2>&1
  for _ in $(seq 600); do [ -e "$dir/uninst.exe" ] || [ -e "$dir/lanzhan.exe" ] || return 0; sleep 0.2; done
  return 1
}
all_installed() { local f; for f in "${installed_files[@]}"; do [ -f "$dir/$f" ] || return 1; done; }
none_installed() { local f; for f in "${installed_files[@]}" SavePath.ini boot; do [ ! -e "$dir/$f" ] || return 1; done; }
registered() { wine reg query "$key" /v InstallLocation 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r' | grep -qF "$win"; }
unregistered() { ! wine reg query "$key" >/dev/null 2>&1; }

# ---- install, start, uninstall with the user's things about ----
check "the silent installer ends without error" install
check "the program, its help, the boot folder and the uninstaller are installed" all_installed
check "the installed program is the packaged one" cmp -s "$dir/lanzhan.exe" "$bin/package/lanzhan/lanzhan.exe"
n=$(shortcuts | wc -l)
check "four shortcuts (program, help and uninstaller in the Start menu; the desktop), found $n" [ "$n" -eq 4 ]
check "the uninstall entry names the folder" registered
check "the installed program starts from there and shows its main window" starts "$dir/lanzhan.exe" "$win\\lanzhan.exe"

printf 'C:\\\r\n' > "$dir/SavePath.ini"                       # the program's own setting, beside it
mkdir -p "$backups/QQ聊天记录/12345" "$dir/我的备份" "$(dirname "$worktask")"
echo record > "$backups/QQ聊天记录/12345/a.dat"                 # a backup in the destination
echo kept > "$dir/我的备份/a.txt"                               # a backup kept in the program's folder
echo 'xcopy /e /y a b' > "$worktask"                            # a scheduled task's batch file
check "the silent uninstaller finishes" uninstall
check "the installed files and the settings beside the program are gone" none_installed
left=$(cd "$dir" 2>/dev/null && find . -mindepth 1 | sort | tr '\n' ' ')
check "only the user's own folder is left in the program's folder (left: $left)" [ "$left" = "./我的备份 ./我的备份/a.txt " ]
check "the backups in the destination are untouched" grep -qx record "$backups/QQ聊天记录/12345/a.dat"
check "the scheduled tasks' batch files are untouched" [ -f "$worktask" ]
check "the shortcuts are gone" [ -z "$(shortcuts)" ]
check "the uninstall entry is gone" unregistered

# ---- a clean install leaves nothing behind ----
rm -rf "$drive_c/$name"
check "a second silent install ends without error" install
check "a second uninstall finishes" uninstall
check "nothing is left of the program's folder" [ ! -e "$dir" ]

# ---- the portable zips ----
portable="$drive_c/$name/便携版"
mkdir -p "$portable"
(cd "$portable" && unzip -q "$packages/lanzhan-$version-win64.zip")
for f in lanzhan.exe lanzhan.chm boot/README.txt; do
  check "the zip holds $f as the installer does" cmp -s "$portable/lanzhan/$f" "$bin/package/lanzhan/$f"
done
check "the zip holds nothing else" [ "$(unzip -Z1 "$packages/lanzhan-$version-win64.zip" | grep -v '/$' | sort | tr '\n' ' ')" = "lanzhan/boot/README.txt lanzhan/lanzhan.chm lanzhan/lanzhan.exe " ]
check "the program starts from the unpacked zip" starts "$portable/lanzhan/lanzhan.exe" "C:\\$name\\便携版\\lanzhan\\lanzhan.exe"
xp="$packages/lanzhan-$version-xp"
if [ -f "$xp-setup.exe" ] || [ -f "$xp.zip" ]; then
  check "the XP installer is a 32-bit installer" sh -c "file -b '$xp-setup.exe' | grep -q 'PE32 executable.*80386.*Nullsoft'"
  check "the XP zip holds the same three files" [ "$(unzip -Z1 "$xp.zip" | grep -v '/$' | sort | tr '\n' ' ')" = "lanzhan/boot/README.txt lanzhan/lanzhan.chm lanzhan/lanzhan.exe " ]
  check "the XP zip's program is for i386" sh -c "unzip -p '$xp.zip' lanzhan/lanzhan.exe > '$drive_c/$name/xp.exe' && file -b '$drive_c/$name/xp.exe' | grep -q 'PE32 executable.*80386'"
fi

if [ $failures -gt 0 ]; then
  echo "install_test: $failures failed"
  exit 1
fi
echo "install_test: every check passed"
