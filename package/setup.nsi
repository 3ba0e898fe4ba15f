; The installer, built by scripts/package.sh with makensis from the files it staged:
;   makensis -INPUTCHARSET UTF8 -DVERSION=a.b.c.d -DBUILD=win32|win64 -DSTAGE=<folder>
;            -DREMOVE=<list.nsh> -DICON=<icon> -DOUTFILE=<setup.exe> package/setup.nsi
; The 64-bit build's installer is a 64-bit program itself: it runs only where the program
; it installs can run, and wherever Wine runs only 64-bit code.
; It installs for the current user alone, without administrator rights, into
; %LOCALAPPDATA%\Programs\Prismolenteer, and registers its uninstaller in Apps and Features.
; The program's settings (HKCU\Software\morvask\Prismolenteer) are never written here: an
; installation over an older one keeps them, and the uninstaller asks before removing them.

!if "${BUILD}" == "win64"
    Target amd64-unicode
!else
    Unicode true
!endif
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include WinMessages.nsh

!define PRODUCT          "Prismolenteer"
!define PUBLISHER        "morvask"
!define PROGRAM          "Prismolenteer.exe"
!define MAIN_FRAME_CLASS "mainframe.wndclass.prismolenteer.morvask"
!define SETTINGS_KEY     "Software\morvask\Prismolenteer"
!define RUN_KEY          "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY    "Software\Microsoft\Windows\CurrentVersion\Uninstall\Prismolenteer"
!define SYNCHRONIZE      0x00100000

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The program's own languages; the installer picks the user's.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Japanese"

LangString StartAtSignIn ${LANG_ENGLISH}  "Start Prismolenteer when I sign in"
LangString StartAtSignIn ${LANG_GERMAN}   "Prismolenteer bei der Anmeldung starten"
LangString StartAtSignIn ${LANG_FRENCH}   "Démarrer Prismolenteer à l'ouverture de session"
LangString StartAtSignIn ${LANG_SPANISH}  "Ejecutar Prismolenteer al iniciar sesión"
LangString StartAtSignIn ${LANG_JAPANESE} "サインイン時に Prismolenteer を起動する"

LangString KeepSettings ${LANG_ENGLISH}  "Keep your Prismolenteer settings (hotkey, hot corner, filters) for a later installation?"
LangString KeepSettings ${LANG_GERMAN}   "Möchten Sie die Einstellungen von Prismolenteer (Tastenkombination, Bildschirmecke, Filter) für eine spätere Installation behalten?"
LangString KeepSettings ${LANG_FRENCH}   "Voulez-vous conserver vos paramètres de Prismolenteer (raccourci clavier, coin de l'écran, filtres) pour une installation ultérieure ?"
LangString KeepSettings ${LANG_SPANISH}  "¿Desea conservar la configuración de Prismolenteer (tecla de acceso rápido, esquina de la pantalla, filtros) para una instalación posterior?"
LangString KeepSettings ${LANG_JAPANESE} "Prismolenteer の設定 (ホットキー、画面の隅、フィルター) を残して、次回のインストールで使いますか？"

LangString StillRunning ${LANG_ENGLISH}  "Prismolenteer is still running and could not be closed. Right-click its icon in the notification area, choose Exit, and then try again."
LangString StillRunning ${LANG_GERMAN}   "Prismolenteer wird noch ausgeführt und konnte nicht beendet werden. Klicken Sie mit der rechten Maustaste auf das Prismolenteer-Symbol im Infobereich, wählen Sie „Beenden“ und versuchen Sie es dann erneut."
LangString StillRunning ${LANG_FRENCH}   "Prismolenteer est toujours en cours d'exécution et n'a pas pu être fermé. Cliquez avec le bouton droit sur son icône dans la zone de notification, choisissez Quitter, puis réessayez."
LangString StillRunning ${LANG_SPANISH}  "Prismolenteer sigue en ejecución y no se pudo cerrar. Haga clic con el botón derecho en su icono del área de notificación, elija Salir y vuelva a intentarlo."
LangString StillRunning ${LANG_JAPANESE} "Prismolenteer を終了できませんでした。通知領域の Prismolenteer のアイコンを右クリックして [終了] を選び、もう一度お試しください。"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT licence"

; Ends a running copy as Windows ends the session, when the program saves its settings, then
; closes it and waits for the process, so that its files can be replaced or removed.
!macro END_RUNNING_COPY un
Function ${un}EndRunningCopy
    FindWindow $0 "${MAIN_FRAME_CLASS}"
    ${If} $0 = 0
        Return
    ${EndIf}
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
    System::Call "kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2"
    SendMessage $0 ${WM_QUERYENDSESSION} 0 0 /TIMEOUT=5000
    SendMessage $0 ${WM_ENDSESSION} 1 0 /TIMEOUT=5000
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    System::Call "kernel32::WaitForSingleObject(p r2, i 10000)"
    System::Call "kernel32::CloseHandle(p r2)"
    FindWindow $0 "${MAIN_FRAME_CLASS}"
    ${If} $0 <> 0
        MessageBox MB_ICONSTOP|MB_OK "$(StillRunning)" /SD IDOK
        Abort
    ${EndIf}
FunctionEnd
!macroend
!insertmacro END_RUNNING_COPY ""
!insertmacro END_RUNNING_COPY "un."

Section "!${PRODUCT}" SectionProgram
    SectionIn RO
    Call EndRunningCopy
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(StartAtSignIn)" SectionStartAtSignIn
SectionEnd

; After the sections, so that an installation over an older one also takes the entry away
; when the box is cleared.
Section "-Run at sign-in"
    ${If} ${SectionIsSelected} ${SectionStartAtSignIn}
        WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${PROGRAM}"'
    ${Else}
        DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    ${EndIf}
SectionEnd

Section "Uninstall"
    Call un.EndRunningCopy
    ; The files the installer put there, by name: files of the user's own (a filter of
    ; theirs in filter\) stay, and so does their folder.
    !include "${REMOVE}"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    MessageBox MB_YESNO|MB_ICONQUESTION "$(KeepSettings)" /SD IDYES IDYES keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\morvask"
keep:
SectionEnd
