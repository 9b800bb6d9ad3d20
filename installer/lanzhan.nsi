; The suite's installer: the program, its help file and the boot folder,
; Start-menu and desktop shortcuts, and an uninstaller that removes what was
; installed and leaves the user's backups alone. Made by scripts/package.sh:
;   makensis -DARCH=win64|xp -DVERSION=1.5.3 -DSTAGE=<files> -DOUTFILE=<setup.exe> -DICON=<lanzhan.ico> lanzhan.nsi
Unicode true

!macro Required name
  !ifndef ${name}
    !error "${name} must be given with -D${name}=..."
  !endif
!macroend
!insertmacro Required ARCH
!insertmacro Required VERSION
!insertmacro Required STAGE
!insertmacro Required OUTFILE
!insertmacro Required ICON

!define PRODUCT "岚栈备份专家"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\LanzhanBackup"
; Any window of the running program (the main window may be hidden in the tray).
!define FORM_CLASS "LanzhanForm"

!if "${ARCH}" == "win64"
  Target amd64-unicode
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else if "${ARCH}" == "xp"
  Target x86-unicode
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!else
  !error "ARCH is win64 or xp"
!endif

Name "${PRODUCT} V${VERSION}"
OutFile "${OUTFILE}"
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} V${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\lanzhan.exe"
!define MUI_FINISHPAGE_RUN_TEXT "运行岚栈备份专家"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\lanzhan.chm"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "查看帮助"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "岚栈"

; Files in use cannot be replaced or removed: the running program is asked to
; be closed first. A silent run gives up instead of waiting for an answer.
!macro WaitUntilClosed un
Function ${un}WaitUntilClosed
  ${Do}
    FindWindow $0 "${FORM_CLASS}" ""
    ${If} $0 == 0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "岚栈备份专家正在运行。$\r$\n请先退出它（右键单击通知区域中它的图标，选择“退出”），再单击“重试”。" /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitUntilClosed ""
!insertmacro WaitUntilClosed "un."

Function .onInit
  !if "${ARCH}" == "win64"
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "这是 64 位 Windows 的安装程序。32 位 Windows 请使用文件名中带 xp 的安装程序。" /SD IDOK
      Abort
    ${EndIf}
  !endif
  Call WaitUntilClosed
FunctionEnd

Function un.onInit
  Call un.WaitUntilClosed
FunctionEnd

Section "岚栈备份专家"
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\lanzhan.exe"
  File "${STAGE}\lanzhan.chm"
  SetOutPath "$INSTDIR\boot"
  File "${STAGE}\boot\README.txt"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninst.exe"

  ; For every user of the machine, as the program is installed for all of them.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\lanzhan.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} 帮助.lnk" "$INSTDIR\lanzhan.chm"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\卸载${PRODUCT}.lnk" "$INSTDIR\uninst.exe"
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\lanzhan.exe"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} V${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\lanzhan.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "岚栈"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninst.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

; Only what was installed, by name, and the program's own settings beside it.
; Folders are removed only when empty: a backup, a boot image or anything else
; the user put there stays, and so does the folder that holds it. The work
; folder c:\BackTemp stays too, since the scheduled tasks run its batch files.
Section "Uninstall"
  Delete "$INSTDIR\lanzhan.exe"
  Delete "$INSTDIR\lanzhan.chm"
  Delete "$INSTDIR\boot\README.txt"
  RMDir "$INSTDIR\boot"
  Delete "$INSTDIR\SavePath.ini"
  Delete "$INSTDIR\Screen.ini"
  Delete "$INSTDIR\uninst.exe"
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} 帮助.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\卸载${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
