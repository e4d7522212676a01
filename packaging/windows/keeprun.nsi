; The keeprun installer. scripts/build-windows passes
;   VERSION  the program's version
;   FILES    where files.nsh and remove.nsh list the files of the program folder
;   ICON     keeprun.ico
;   OUTFILE  the installer to write
; Silent: keeprun-<version>-setup.exe /S [/AUTOSTART] [/D=folder]
; 64-bit like keeprun itself: it needs no 32-bit Wine either (so a 32-bit
; Windows refuses it with its own message).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include WinVer.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\keeprun"
; The same value keeprun's tray item switches, and where Task Manager switches it off.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
; The start-at-login choice for keeprun to take over at its next start, as the
; user who uses it (the installer may run as another, administrator account).
!define CHOICE_KEY "Software\keeprun"

Name "keeprun"
Caption "keeprun ${VERSION} 安装"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\keeprun"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "keeprun ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "keeprun"
VIAddVersionKey /LANG=2052 "FileDescription" "keeprun installer"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Copyright 2026 keeprun developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsDesktopUser
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Section "keeprun" SecProgram
    SectionIn RO
    SetShellVarContext all
    ; A running keeprun holds its files: it is closed first, as for uninstalling.
  program_first:
    Delete "$INSTDIR\keeprun.exe"
    ${If} ${FileExists} "$INSTDIR\keeprun.exe"
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "keeprun 正在运行，请先关闭它再安装。" \
            /SD IDCANCEL IDRETRY program_first
        SetErrorLevel 4
        Quit
    ${EndIf}
    SetOutPath "$INSTDIR"
    !include "${FILES}/files.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\keeprun.lnk" "$INSTDIR\keeprun.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "keeprun"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "keeprun developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\keeprun.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "开机时自动启动" SecAutostart
SectionEnd

; Each install gets a new mark; keeprun takes the choice over once per mark.
Section "-choice"
    System::Call 'kernel32::GetTickCount64() l .r0'
    WriteRegStr HKLM "${CHOICE_KEY}" "Install" "${VERSION}-$0"
    ${If} ${SectionIsSelected} ${SecAutostart}
        WriteRegDWORD HKLM "${CHOICE_KEY}" "StartAtLogin" 1
    ${Else}
        WriteRegDWORD HKLM "${CHOICE_KEY}" "StartAtLogin" 0
    ${EndIf}
SectionEnd

; Explorer runs as the desktop user, not elevated: keeprun started through it
; takes drops from Explorer and starts programs as that user.
Function StartAsDesktopUser
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\keeprun.exe"'
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "keeprun 程序和它需要的文件，开始菜单中的快捷方式"
    !insertmacro MUI_DESCRIPTION_TEXT ${SecAutostart} "登录 Windows 时自动打开 keeprun（托盘菜单中可随时更改）"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
    ; What Qt 6 needs: Windows 10 1809 or later (64-bit, as this installer).
    ${IfNot} ${AtLeastBuild} 17763
        MessageBox MB_OK|MB_ICONSTOP "keeprun 需要 64 位 Windows 10（1809 版）或更新的 Windows，无法安装在这台电脑上。" /SD IDOK
        SetErrorLevel 3
        Quit
    ${EndIf}
    ; A silent install chooses start-with-Windows with /AUTOSTART.
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AUTOSTART" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    ; A running keeprun holds its files: it goes first, or nothing is removed.
  program_first:
    Delete "$INSTDIR\keeprun.exe"
    ${If} ${FileExists} "$INSTDIR\keeprun.exe"
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "keeprun 正在运行，请先关闭它再卸载。" \
            /SD IDCANCEL IDRETRY program_first
        Abort
    ${EndIf}
    ; Only what the installer put there: the folder may hold other files.
    !include "${FILES}/remove.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\keeprun.lnk"
    ; keeprun wrote its Run value as the user who used it: every signed-in
    ; user's that starts this keeprun goes, with the login option (keeprun
    ; writes it) or without it (as older versions wrote it).
    StrCpy $0 0
  each_user:
    EnumRegKey $1 HKU "" $0
    StrCmp $1 "" users_done
    IntOp $0 $0 + 1
    ReadRegStr $2 HKU "$1\${RUN_KEY}" "keeprun"
    ${If} $2 == '"$INSTDIR\keeprun.exe"'
    ${OrIf} $2 == '"$INSTDIR\keeprun.exe" --login'
        DeleteRegValue HKU "$1\${RUN_KEY}" "keeprun"
        DeleteRegValue HKU "$1\${APPROVED_KEY}" "keeprun"
    ${EndIf}
    DeleteRegKey HKU "$1\${CHOICE_KEY}"
    Goto each_user
  users_done:
    DeleteRegKey HKLM "${CHOICE_KEY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
