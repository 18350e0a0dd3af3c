; Kelvory Pivora: Windows installer and uninstaller.
;
; Built by scripts/package.sh, which passes:
;   PV_EXE      the pivora.exe to install (the 32-bit release build)
;   PV_ICON     the program's icon
;   PV_OUTFILE  the installer to write
;   PV_HELP     help.html, only when there is one
;   PV_AMD64    defined for the 64-bit variant that the tests use on machines
;               whose Wine cannot run 32-bit programs
;
; Silent use:  pivora-1.46-setup.exe /S [/DATA=user|all] [/AUTOSTART=1|0] [/D=folder]
;   /DATA       where the program keeps its data: "user" (each user's
;               Documents\Kelvory\Pivora, the default) or "all" (beside the program)
;   /AUTOSTART  1 writes the start-with-Windows value, 0 removes it; without it
;               the value stays as it is
;   /D          the installation folder (last, unquoted, as NSIS wants it)
; Exit code 0 on success, 2 when Pivora runs or an option is wrong.

Unicode true
!ifdef PV_AMD64
    Target amd64-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define PRODUCT "Kelvory Pivora"
!define VERSION "1.46"
!define PUBLISHER "Kelvory"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvory-Pivora"
; The program's own start-with-Windows value: same key, name and quoting.
!define RUN_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Kelvory-Pivora"
; A running Pivora holds this file mapping (its single-instance test).
!define INSTANCE_MAPPING "{0C462EFB-02B9-4314-80A4-DA95904F9B9F}"
!define SHORTCUT "Kelvory Pivora.lnk"

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${PV_OUTFILE}"
!ifdef PV_AMD64
    InstallDir "$PROGRAMFILES64\Kelvory Pivora"
!else
    InstallDir "$PROGRAMFILES\Kelvory Pivora"
!endif
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "1.46.0.0"
VIFileVersion "1.46.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "pivora-${VERSION}-setup.exe"

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${PV_ICON}"
!define MUI_UNICON "${PV_ICON}"
!define MUI_ABORTWARNING

Var DataAccess      ; "user" or "all"
Var Autostart       ; "1", "0", or "" for: leave the value as it is
Var DataChosen      ; "1" once the command line or the page has decided
Var RadioUser
Var RadioAll
Var CheckAutostart

!define MUI_WELCOMEPAGE_TEXT "This will install ${PRODUCT} ${VERSION}, a program starter that lives in the notification area: a click on its icon, or Ctrl+L, opens a menu of your programs, documents and folders.$\r$\n$\r$\nIf Pivora is running, close it first (Close in its tray menu).$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
Page custom DataPageCreate DataPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} has been installed. Start it from the Start menu; its icon then appears in the notification area."
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------- shared helpers

; Trims blanks and tabs from both ends of the string on the stack.
!macro PV_TRIM_FUNCTION PREFIX
Function ${PREFIX}Trim
    Exch $0
    Push $1
    ${Do}
        StrCpy $1 $0 1
        ${If} $1 == " "
        ${OrIf} $1 == "$\t"
            StrCpy $0 $0 "" 1
        ${Else}
            ${ExitDo}
        ${EndIf}
    ${Loop}
    ${Do}
        StrCpy $1 $0 1 -1
        ${If} $1 == " "
        ${OrIf} $1 == "$\t"
            StrCpy $0 $0 -1
        ${Else}
            ${ExitDo}
        ${EndIf}
    ${Loop}
    Pop $1
    Exch $0
FunctionEnd
!macroend
!insertmacro PV_TRIM_FUNCTION ""
!insertmacro PV_TRIM_FUNCTION "un."

; Waits until no Pivora runs, asking the user to close it; Cancel (and a silent
; run, which cannot ask) ends with exit code 2. Replacing or deleting the
; program while it runs would fail half-way.
!macro PV_NOT_RUNNING_FUNCTION PREFIX
Function ${PREFIX}EnsureNotRunning
    Push $0
    ${Do}
        System::Call 'kernel32::OpenFileMappingW(i 4, i 0, w "${INSTANCE_MAPPING}") p .r0'
        ${If} $0 P= 0
            ${ExitDo}
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r0)'
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "${PRODUCT} is running.$\r$\n$\r$\nPlease close it first: choose Close in its tray menu, then choose Retry." \
            /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Quit
        retry:
    ${Loop}
    Pop $0
FunctionEnd
!macroend
!insertmacro PV_NOT_RUNNING_FUNCTION ""
!insertmacro PV_NOT_RUNNING_FUNCTION "un."

; ---------------------------------------------------------------- installer

Function .onInit
    Call EnsureNotRunning
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/DATA=" $R1
    ${IfNot} ${Errors}
        Push $R1
        Call Trim
        Pop $R1
        ${If} $R1 == "user"
            StrCpy $DataAccess "user"
        ${ElseIf} $R1 == "all"
            StrCpy $DataAccess "all"
        ${Else}
            MessageBox MB_OK|MB_ICONSTOP \
                'The option /DATA= takes "user" (each user$\'s Documents\Kelvory\Pivora) or "all" (beside the program), not "$R1".' \
                /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        StrCpy $DataChosen "1"
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/AUTOSTART=" $R1
    ${IfNot} ${Errors}
        ${If} $R1 == "1"
            StrCpy $Autostart "1"
        ${ElseIf} $R1 == "0"
            StrCpy $Autostart "0"
        ${Else}
            MessageBox MB_OK|MB_ICONSTOP 'The option /AUTOSTART= takes 1 or 0, not "$R1".' /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

; Before the page has decided: what an earlier installation in the chosen folder
; uses (as the program reads it), else each user's own directory.
Function DefaultDataAccess
    ${If} $DataChosen == "1"
        Return
    ${EndIf}
    StrCpy $DataAccess "user"
    ${If} ${FileExists} "$INSTDIR\glc.ini"
        ReadINIStr $0 "$INSTDIR\glc.ini" "Misc" "DataAccess"
        Push $0
        Call Trim
        Pop $0
        ${If} $0 != "user"
            StrCpy $DataAccess "all"
        ${EndIf}
    ${EndIf}
FunctionEnd

Function DataPageCreate
    Call DefaultDataAccess
    !insertmacro MUI_HEADER_TEXT "Data location" "Choose where Pivora keeps your menu items and settings."
    nsDialogs::Create 1018
    Pop $0
    ${If} $0 == error
        Abort
    ${EndIf}
    ${NSD_CreateLabel} 0 0 100% 20u "Pivora keeps its item store (the entries of its menu), its settings file pivora.ini and its error log in one data directory. Where should it be?"
    Pop $0
    ${NSD_CreateRadioButton} 0 26u 100% 12u "&Each user's own directory: Documents\Kelvory\Pivora"
    Pop $RadioUser
    ${NSD_CreateLabel} 12u 39u -12u 18u "Recommended. Every user of this computer gets a menu of their own, and Pivora writes nothing into the program folder."
    Pop $0
    ${NSD_CreateRadioButton} 0 62u 100% 12u "&Beside the program, in the installation folder"
    Pop $RadioAll
    ${NSD_CreateLabel} 12u 75u -12u 26u "One menu for everyone who starts this copy. Everyone who uses it must be allowed to write to the installation folder, which standard users may not do under Program Files."
    Pop $0
    ${NSD_CreateCheckBox} 0 108u 100% 12u "&Start Pivora with Windows (for the current user; the preferences change it later)"
    Pop $CheckAutostart
    ${If} $DataAccess == "all"
        ${NSD_Check} $RadioAll
    ${Else}
        ${NSD_Check} $RadioUser
    ${EndIf}
    ${If} $Autostart == ""
        ; As the program itself reads it: a value that is present and not empty.
        ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
        ${If} $0 != ""
            ${NSD_Check} $CheckAutostart
        ${EndIf}
    ${ElseIf} $Autostart == "1"
        ${NSD_Check} $CheckAutostart
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function DataPageLeave
    ${NSD_GetState} $RadioAll $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $DataAccess "all"
    ${Else}
        StrCpy $DataAccess "user"
    ${EndIf}
    StrCpy $DataChosen "1"
    ${NSD_GetState} $CheckAutostart $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $Autostart "1"
    ${Else}
        StrCpy $Autostart "0"
    ${EndIf}
FunctionEnd

Section "Install"
    ; The user may have started Pivora while the pages were open.
    Call EnsureNotRunning
    Call DefaultDataAccess
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "/oname=pivora.exe" "${PV_EXE}"
!ifdef PV_HELP
    File "/oname=help.html" "${PV_HELP}"
!endif

    ; glc.ini is read only by the program; written whole, so that no value of
    ; an earlier installation survives.
    FileOpen $0 "$INSTDIR\glc.ini" w
    ${If} $0 == ""
        Abort "Cannot write $INSTDIR\glc.ini."
    ${EndIf}
    FileWrite $0 "[Misc]$\r$\nDataAccess=$DataAccess$\r$\n"
    FileClose $0
    DetailPrint "Data location: $DataAccess"

    ; The first start of a per-user setup copies the item store and pivora.ini
    ; from the program folder into the user's directory, and gives up (keeping
    ; the data in the program folder) when there is no pivora.ini to copy. An
    ; empty one gives the default settings. An existing one (data kept beside
    ; the program until now) is left, so that it moves along.
    ${If} $DataAccess == "user"
    ${AndIfNot} ${FileExists} "$INSTDIR\pivora.ini"
        FileOpen $0 "$INSTDIR\pivora.ini" w
        FileClose $0
    ${EndIf}

    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortCut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\pivora.exe" "" "$INSTDIR\pivora.exe" 0 \
        SW_SHOWNORMAL "" "Tray program starter"

    ${If} $Autostart == "1"
        WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\pivora.exe"'
    ${ElseIf} $Autostart == "0"
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}

    WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\pivora.exe,0"
    WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/M=pivora.exe /S=0K /G=0" $0 $1 $2
    WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; ---------------------------------------------------------------- uninstaller

Function un.onInit
    Call un.EnsureNotRunning
FunctionEnd

Section "Uninstall"
    ReadINIStr $R0 "$INSTDIR\glc.ini" "Misc" "DataAccess"
    Push $R0
    Call un.Trim
    Pop $R0

    Delete "$INSTDIR\pivora.exe"
    Delete "$INSTDIR\help.html"
    Delete "$INSTDIR\glc.ini"
    Delete "$INSTDIR\uninstall.exe"
    ; The program's copy of the menu's files for a quick start is no data of the user's.
    Delete "$INSTDIR\shortcuts.cache"
    ; The empty settings file the installer left for a per-user setup; one with
    ; settings in it is the user's.
    ${If} $R0 == "user"
        FileOpen $0 "$INSTDIR\pivora.ini" r
        ${If} $0 != ""
            FileSeek $0 0 END $1
            FileClose $0
            ${If} $1 == 0
                Delete "$INSTDIR\pivora.ini"
            ${EndIf}
        ${EndIf}
    ${EndIf}

    SetShellVarContext all
    Delete "$SMPROGRAMS\${SHORTCUT}"

    ; Only a value that starts this installation's copy.
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == '"$INSTDIR\pivora.exe"'
    ${OrIf} $0 == "$INSTDIR\pivora.exe"
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}

    DeleteRegKey HKLM "${UNINST_KEY}"
    ; Stays when the data lives here.
    RMDir "$INSTDIR"

    ; The item store, the settings and the error log are the user's: never removed.
    SetShellVarContext current
    ${If} $R0 == "user"
        Delete "$DOCUMENTS\Kelvory\Pivora\shortcuts.cache"
        StrCpy $1 "Your menu items and their backups, settings and error log stay in your own data directory:$\r$\n$DOCUMENTS\Kelvory\Pivora$\r$\n(every user who used Pivora has such a directory in their Documents folder)."
    ${Else}
        StrCpy $1 "Your menu items and their backups, settings and error log stay in the program folder:$\r$\n$INSTDIR"
    ${EndIf}
    DetailPrint "$1"
    MessageBox MB_OK|MB_ICONINFORMATION "${PRODUCT} has been removed.$\r$\n$\r$\n$1$\r$\n$\r$\nDelete them yourself when you no longer need them." /SD IDOK
SectionEnd
