; The Windows installer, made by tools/windows/make-installer.sh from the
; program folder that tools/windows/program-folder.sh gathers. Defines:
; VERSION, FILE_VERSION (four numbers), PUBLISHER, FOLDER, ICON, OUTFILE.
;
; Installs for all users under Program Files, or for the current user alone
; without administrator rights. Silent (/S): all users, no start at login,
; unless /CURRENTUSER or /AUTOSTART says otherwise. The data of each user
; (%LOCALAPPDATA%\Corvane) is never touched, neither by an upgrade nor by the
; uninstaller.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Corvane"
OutFile "${OUTFILE}"
BrandingText "Corvane ${VERSION}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR Corvane
; An upgrade finds the folder of the installation it replaces.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME InstallLocation
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${FOLDER}/LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Corvane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "启动 Corvane"
!insertmacro MUI_PAGE_FINISH

!define DATA_KEPT "每个用户的数据（%LOCALAPPDATA%\Corvane 中的客户资料 tel.mdb、线路设置 zel.ini 和铃声）都会保留，不再需要时可以手动删除。"
!define MUI_UNCONFIRMPAGE_TEXT_TOP "将从电脑中删除 Corvane 程序、开始菜单和桌面上的快捷方式以及登录时的启动项。${DATA_KEPT}"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Corvane 已从电脑中删除。$\r$\n$\r$\n${DATA_KEPT}"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "Corvane"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "Corvane 来电显示 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "GNU GPL 3"

; A copy running from the folder is asked to end, as a logoff ends it (what
; it holds is saved), so that its files can be replaced or removed.
!macro END_RUNNING_COPY UN
Function ${UN}EndRunningCopy
    ${IfNot} ${FileExists} "$INSTDIR\Corvane.exe"
        Return
    ${EndIf}
    DetailPrint "正在让运行中的 Corvane 保存并退出……"
    ${Do}
        ExecWait '"$INSTDIR\Corvane.exe" --quit' $0
        ${If} $0 == 0
            ${Break}
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Corvane 还在运行，没有退出。$\r$\n请在托盘图标的菜单中选“退出”，然后点“重试”。" /SD IDCANCEL IDRETRY retry
        Abort "Corvane 还在运行，没有改动任何文件。"
        retry:
    ${Loop}
    ; The ended process lets go of its files a moment later.
    ${For} $1 1 50
        ClearErrors
        FileOpen $2 "$INSTDIR\Corvane.exe" a
        ${IfNot} ${Errors}
            FileClose $2
            ${Break}
        ${EndIf}
        Sleep 100
    ${Next}
FunctionEnd
!macroend
!insertmacro END_RUNNING_COPY ""
!insertmacro END_RUNNING_COPY "un."

Section "Corvane" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    Call EndRunningCopy
    ; The empty tel.mdb is the portable folder's: an installed copy keeps
    ; each user's in %LOCALAPPDATA%\Corvane.
    File /r /x tel.mdb "${FOLDER}/*"
    ; Its presence tells the program that it is installed (see
    ; programfolder_windows.cpp), also where the user may write.
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Corvane.lnk" "$INSTDIR\Corvane.exe"
    ; Shortcut and start at login are what this installation chooses again.
    Delete "$DESKTOP\Corvane.lnk"
    DeleteRegValue SHCTX "${RUN_KEY}" "Corvane"

    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Corvane 来电显示"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${FILE_VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Corvane.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "桌面快捷方式" SecDesktop
    CreateShortcut "$DESKTOP\Corvane.lnk" "$INSTDIR\Corvane.exe"
SectionEnd

Section /o "登录时启动到托盘" SecAutostart
    WriteRegStr SHCTX "${RUN_KEY}" "Corvane" '"$INSTDIR\Corvane.exe" --tray'
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "程序、开始菜单中的“Corvane”和卸载程序。"
    !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "在桌面上放一个 Corvane 快捷方式。"
    !insertmacro MUI_DESCRIPTION_TEXT ${SecAutostart} "登录 Windows 时启动 Corvane，只显示托盘图标，来电时弹出窗口。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
    ; A folder named by /D is kept over the install mode's own.
    StrCpy $R2 $INSTDIR
    !insertmacro MULTIUSER_INIT
    ${If} $R2 != ""
        StrCpy $INSTDIR $R2
    ${EndIf}
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/AUTOSTART" $R1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Call un.EndRunningCopy
    Delete "$INSTDIR\Corvane.exe"
    Delete "$INSTDIR\*.dll"
    RMDir /r "$INSTDIR\platforms"
    RMDir /r "$INSTDIR\styles"
    RMDir /r "$INSTDIR\translations"
    Delete "$INSTDIR\qt.conf"
    Delete "$INSTDIR\tel.sql"
    Delete "$INSTDIR\zel.ini"
    Delete "$INSTDIR\ringin*.wav"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\说明.txt"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: what the user put there stays.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Corvane.lnk"
    Delete "$DESKTOP\Corvane.lnk"
    DeleteRegValue SHCTX "${RUN_KEY}" "Corvane"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    DetailPrint "${DATA_KEPT}"
SectionEnd

Function un.onInit
    ; The uninstaller removes the installation it belongs to, whichever way it
    ; was started: one for the current user alone is found under HKCU.
    StrCpy $R0 $INSTDIR
    !insertmacro MULTIUSER_UNINIT
    ReadRegStr $R1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R1 == $R0
        Call un.MultiUser.InstallMode.CurrentUser
    ${EndIf}
    StrCpy $INSTDIR $R0
FunctionEnd
