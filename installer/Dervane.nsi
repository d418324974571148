; Dervane-<version>-Setup.exe: installs Dervane for the current user, without
; an administrator, into the user's own programs folder, with a Start-menu
; entry and an uninstaller in the user's installed programs. The program's
; first start writes its Run entry and the ".dvl" class itself.
;
; makensis -DVERSION=1.0.0 -DSTAGE=<program files> -DFILES=<ProgramFiles.nsh>
;          -DICON=<program icon> -DOUTFILE=<Dervane-1.0.0-Setup.exe> Dervane.nsi
; FILES defines the macros DERVANE_PROGRAM_FILES and DERVANE_USER_FILES, which
; insert the macro they are given once for each file of the program folder,
; and for each list file of the user's (the build writes them from the list
; that also makes the portable zip).

; Debian's 64-bit Wine runs no 32-bit installer; this one also runs on
; Windows x64.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"
!include "WinVer.nsh"
!include "${FILES}"

!define PRODUCT "Dervane"
!define PUBLISHER "Quillmere"
!define PROGRAM_KEY "Software\Quillmere\Dervane"
!define COMPANY_KEY "Software\Quillmere"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dervane"
; The program builds paths of up to 260 characters under the program folder,
; and its hook library keeps the folder's UTF-8 form in a field of 512 bytes:
; longer folders are refused.
!define MAX_FOLDER 160
!define MAX_FOLDER_UTF8_BYTES 511
; Dervane's strings are UTF-8, which Windows gives a program from Windows 10
; version 1903 (build 18362) on; earlier versions ignore the program's
; request for it.
!define MIN_WINDOWS_BUILD 18362
!define OLD_WINDOWS_TEXT "${PRODUCT} needs Windows 10 version 1903 or later."
; Dervane.exe /exit asks a running Dervane to end through its own Exit and
; waits for it (up to 20 s); it answers 0 when none runs any more.
!define EXIT_SWITCH "/exit"
!define ID_TRAY_EXIT 40002

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Dervane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION} for you alone: no administrator is needed.$\r$\n$\r$\nIf ${PRODUCT} is running, Setup ends it first, which puts your desktop icons back where they were.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderPage
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Dervane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "${PRODUCT} will be ended if it is running (your desktop icons go back where they were) and removed from this folder. Your layouts and lists stay unless you choose to remove them on the next page."
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------------------
; Shared by Setup and the uninstaller.

; Deletes FILE; a library that another process still has mapped (a hook
; library lingers in the desktop's process until its next message) is asked
; for again a few times, with every window nudged to let go of hooks.
; Answers in $R9: 1 when the file is gone.
!macro DeleteWhenFree UN
Function ${UN}DeleteWhenFree
  Exch $R0
  Push $R1
  StrCpy $R1 0
  ${Do}
    ClearErrors
    Delete "$R0"
    ${IfNot} ${FileExists} "$R0"
      StrCpy $R9 1
      ${Break}
    ${EndIf}
    IntOp $R1 $R1 + 1
    ${If} $R1 > 20
      StrCpy $R9 0
      ${Break}
    ${EndIf}
    SendMessage ${HWND_BROADCAST} ${WM_NULL} 0 0 /TIMEOUT=200
    Sleep 250
  ${Loop}
  Pop $R1
  Pop $R0
FunctionEnd
!macroend
!insertmacro DeleteWhenFree ""
!insertmacro DeleteWhenFree "un."

; Whether $R0 (a path, or a command whose program is quoted or not) names a
; program in $INSTDIR; answers in $R9 (1 or 0). Comparisons ignore case.
!macro IsOurCommand UN
Function ${UN}IsOurCommand
  Push $R1
  Push $R2
  StrCpy $R9 0
  StrCpy $R1 $R0 1
  ${If} $R1 == '"'
    StrCpy $R0 $R0 "" 1
  ${EndIf}
  StrLen $R2 "$INSTDIR\"
  StrCpy $R1 $R0 $R2
  ${If} $R1 == "$INSTDIR\"
    StrCpy $R9 1
  ${EndIf}
  Pop $R2
  Pop $R1
FunctionEnd
!macroend
!insertmacro IsOurCommand "un."

; Leaves FILE, which another process still maps, to be deleted at the user's
; next sign-in (the user's own RunOnce key: no administrator needed); one
; value a file, each short enough for the key's 260 characters.
!macro RemoveAtSignIn UN
Function ${UN}RemoveAtSignIn
  Exch $R0
  Push $R1
  Push $R2
  StrCpy $R1 0
  ${Do}
    IntOp $R1 $R1 + 1
    ReadRegStr $R2 HKCU "${RUNONCE_KEY}" "Dervane remove $R1"
  ${LoopUntil} $R2 == ""
  WriteRegExpandStr HKCU "${RUNONCE_KEY}" "Dervane remove $R1" '%ComSpec% /c del /f /q "$R0"'
  DetailPrint "$R0 is still in use: it goes at the next sign-in."
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd
!macroend
!insertmacro RemoveAtSignIn ""
!insertmacro RemoveAtSignIn "un."

; ---------------------------------------------------------------------------
; Setup.

; A folder in any script will do, as long as it fits: a longer one would give
; a program that cannot find its own files. Answers in $R9: "" when the folder
; will do, else why not.
Function CheckFolder
  Push $R2
  Push $R3
  StrCpy $R9 ""
  StrLen $R2 "$INSTDIR"
  ; The UTF-8 form's length in bytes, its closing NUL included (CP_UTF8).
  System::Call 'kernel32::WideCharToMultiByte(i 65001, i 0, w "$INSTDIR", i -1, p 0, i 0, p 0, p 0) i .R3'
  ${If} $R2 > ${MAX_FOLDER}
  ${OrIf} $R3 > ${MAX_FOLDER_UTF8_BYTES}
    StrCpy $R9 "The folder's name is too long for Dervane (more than ${MAX_FOLDER} characters). Choose a shorter one."
  ${ElseIf} $R3 = 0
    StrCpy $R9 "The folder's name cannot be used. Choose another folder."
  ${EndIf}
  Pop $R3
  Pop $R2
FunctionEnd

Function CheckFolderPage
  Call CheckFolder
  ${If} $R9 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "$R9"
    Abort
  ${EndIf}
FunctionEnd

; Ends a running Dervane through its own Exit: PROGRAM /exit asks it to end
; and waits for its process; without PROGRAM the tray menu's Exit is posted
; to its main window and the window's end awaited. Asks again (Retry) while
; it runs on; answers in $R9: 1 when none runs any more.
!macro EndRunningDervane UN
Function ${UN}EndRunningDervane
  Exch $R0
  Push $R1
  StrCpy $R9 1
  ${Do}
    FindWindow $R1 "CTrayWnd" ""
    ${If} $R1 = 0
      ${Break}
    ${EndIf}
    DetailPrint "Ending the running ${PRODUCT}..."
    ${If} $R0 != ""
      ExecWait '"$R0" ${EXIT_SWITCH}' $R1
    ${Else}
      SendMessage $R1 ${WM_COMMAND} ${ID_TRAY_EXIT} 0 /TIMEOUT=5000
      StrCpy $R0 0
      ${DoWhile} $R0 < 200
        IsWindow $R1 0 gone
        Sleep 100
        IntOp $R0 $R0 + 1
      ${Loop}
      gone:
      StrCpy $R0 ""
    ${EndIf}
    FindWindow $R1 "CTrayWnd" ""
    ${If} $R1 = 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is still running. Close its windows, end it with Exit on its tray icon's menu, then click Retry." /SD IDCANCEL IDRETRY again
    StrCpy $R9 0
    ${Break}
    again:
  ${Loop}
  Pop $R1
  Pop $R0
FunctionEnd
!macroend
!insertmacro EndRunningDervane ""
!insertmacro EndRunningDervane "un."

; Setup asks with the new program, run from its own temporary folder, so that
; it can end a Dervane started from anywhere.
Function EndRunningForSetup
  StrCpy $R9 1
  FindWindow $0 "CTrayWnd" ""
  ${If} $0 = 0
    Return
  ${EndIf}
  InitPluginsDir
  SetOutPath "$PLUGINSDIR\end"
  File "${STAGE}\Dervane.exe"
  File "${STAGE}\DervaneHook.dll"
  File "${STAGE}\DervaneHookCBT.dll"
  Push "$PLUGINSDIR\end\Dervane.exe"
  Call EndRunningDervane
  SetOutPath "$INSTDIR"
FunctionEnd

; A library that the desktop's process still maps (it lets a hook library
; go only at its own pace, under Wine not before it ends) cannot be replaced.
; The same version's file is kept as it is: the running desktop and the new
; program then share the one library. Another version's is moved aside (a
; library in use can be renamed) and removed at the next sign-in; until
; then the desktop still runs the old library, so the user is told to sign
; out first.
!macro InstallFile NAME
  Push "$INSTDIR\${NAME}"
  Call DeleteWhenFree
  ${If} $R9 = 0
  ${AndIf} $InstalledVersion == "${VERSION}"
    DetailPrint "Kept $INSTDIR\${NAME} of this version: another program still uses it."
  ${Else}
    ${If} $R9 = 0
      Delete "$INSTDIR\${NAME}.old"
      Rename "$INSTDIR\${NAME}" "$INSTDIR\${NAME}.old"
      Push "$INSTDIR\${NAME}.old"
      Call RemoveAtSignIn
      StrCpy $NeedsSignOut 1
    ${EndIf}
    File "/oname=${NAME}" "${STAGE}\${NAME}"
  ${EndIf}
  ; One moved aside by an earlier Setup goes once the desktop has let it go.
  ${If} $R9 = 1
    Delete "$INSTDIR\${NAME}.old"
  ${EndIf}
!macroend

Function .onInit
  ${IfNot} ${AtLeastBuild} ${MIN_WINDOWS_BUILD}
    ${IfNot} ${Silent}
      MessageBox MB_OK|MB_ICONSTOP "${OLD_WINDOWS_TEXT}"
    ${EndIf}
    SetErrorLevel 4
    Quit
  ${EndIf}
  ${If} ${Silent}
    Call CheckFolder
    ${If} $R9 != ""
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Var InstalledVersion
Var NeedsSignOut

; The desktop still runs the earlier library: the new Dervane must wait for
; the next sign-in, so it is not offered now.
Function FinishPageShow
  ${If} $NeedsSignOut = 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
    SendMessage $mui.FinishPage.Text ${WM_SETTEXT} 0 "STR:${PRODUCT} ${VERSION} is installed. Sign out and in again before you start it: your desktop still uses the library of the earlier ${PRODUCT}."
  ${EndIf}
FunctionEnd

; An uninstall left files in use here to go at the next sign-in: the ones
; this Setup installs again must stay.
Function KeepReinstalledFiles
  StrCpy $1 1
  StrCpy $3 '%ComSpec% /c del /f /q "$INSTDIR\'
  StrLen $4 $3
  ; Removals free their numbers: every number is looked at.
  ${DoWhile} $1 <= 32
    ReadRegStr $0 HKCU "${RUNONCE_KEY}" "Dervane remove $1"
    StrCpy $2 $0 $4
    ${If} $2 == $3
      StrCpy $2 $0 "" -5
      ${If} $2 != '.old"'
        DeleteRegValue HKCU "${RUNONCE_KEY}" "Dervane remove $1"
      ${EndIf}
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  StrCpy $NeedsSignOut 0
  StrCpy $InstalledVersion ""
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    ReadRegStr $InstalledVersion HKCU "${UNINSTALL_KEY}" "DisplayVersion"
  ${EndIf}
  Call EndRunningForSetup
  ${If} $R9 = 0
    DetailPrint "${PRODUCT} is still running: nothing was installed."
    SetErrorLevel 3
    Abort "${PRODUCT} is still running: nothing was installed."
  ${EndIf}
  SetOutPath "$INSTDIR"
  Call KeepReinstalledFiles
  !insertmacro DERVANE_PROGRAM_FILES InstallFile
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${If} $NeedsSignOut = 1
    MessageBox MB_OK|MB_ICONINFORMATION "Your desktop still uses the library of the earlier ${PRODUCT}. Sign out and in again before you start the new one." /SD IDOK
  ${EndIf}

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Dervane.exe" "" "$INSTDIR\Dervane.exe" 0 \
    SW_SHOWNORMAL "" "Desktop icon layouts, deletion, backup, auto-respond and tray icons"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Dervane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; ---------------------------------------------------------------------------
; The uninstaller.

Section "-un.End"
  ${If} ${FileExists} "$INSTDIR\Dervane.exe"
    Push "$INSTDIR\Dervane.exe"
  ${Else}
    Push ""
  ${EndIf}
  Call un.EndRunningDervane
  ${If} $R9 = 0
    SetErrorLevel 3
    Abort "${PRODUCT} is still running: nothing was removed."
  ${EndIf}
SectionEnd

!macro UnRemoveFile NAME
  Delete "$INSTDIR\${NAME}"
  Delete "$INSTDIR\${NAME}.new"
!macroend

!macro UnRemoveProgramFile NAME
  Push "$INSTDIR\${NAME}"
  Call un.DeleteWhenFree
  ${If} $R9 = 0
    Push "$INSTDIR\${NAME}"
    Call un.RemoveAtSignIn
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\${NAME}.old"
    Push "$INSTDIR\${NAME}.old"
    Call un.DeleteWhenFree
    ${If} $R9 = 0
      Push "$INSTDIR\${NAME}.old"
      Call un.RemoveAtSignIn
    ${EndIf}
  ${EndIf}
!macroend

; The program's own traces, when they lead to this folder: another copy of
; Dervane (a portable one) keeps its own.
!macro UnRemoveRunValue ROOT
  ReadRegStr $R0 ${ROOT} "${RUN_KEY}" "Dervane"
  ${If} $R0 != ""
    Call un.IsOurCommand
    ${If} $R9 = 1
      DeleteRegValue ${ROOT} "${RUN_KEY}" "Dervane"
    ${EndIf}
  ${EndIf}
!macroend

!macro UnRemoveClass ROOT
  ReadRegStr $R0 ${ROOT} "Software\Classes\.dvl\shell\open\command" ""
  ${If} $R0 != ""
    Call un.IsOurCommand
    ${If} $R9 = 1
      DeleteRegKey ${ROOT} "Software\Classes\.dvl"
    ${EndIf}
  ${EndIf}
!macroend

Section "un.${PRODUCT}" UnSecProgram
  SectionIn RO
  !insertmacro DERVANE_PROGRAM_FILES UnRemoveProgramFile
  Delete "$INSTDIR\ErrorLog.txt"
  Delete "$INSTDIR\DebugLog.txt"
  Delete "$INSTDIR\Respond.log"
  Delete "$INSTDIR\msg.dat"

  !insertmacro UnRemoveRunValue HKCU
  !insertmacro UnRemoveRunValue HKLM
  !insertmacro UnRemoveClass HKCU
  !insertmacro UnRemoveClass HKLM
  DeleteRegKey HKCU "${PROGRAM_KEY}"
  DeleteRegKey /ifempty HKCU "${COMPANY_KEY}"
  ; The machine's key exists only where an administrator made it.
  DeleteRegKey HKLM "${PROGRAM_KEY}"
  DeleteRegKey /ifempty HKLM "${COMPANY_KEY}"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: the user's layouts and lists stay where they were.
  RMDir "$INSTDIR"
SectionEnd

; Not chosen unless the user ticks it (never in a silent uninstall).
Section /o "un.Your layouts and lists" UnSecData
  ; Layout files by name only: a link inside these folders is not followed.
  ; The snapshots kept for each arrangement of monitors are all "Snapshot
  ; <arrangement>.dvs"; a ".new" is a file whose writing was cut short.
  Delete "$INSTDIR\Positions\*.dvl"
  Delete "$INSTDIR\Positions\*.dvl.new"
  Delete "$INSTDIR\Positions\Snapshot *.dvs"
  Delete "$INSTDIR\Positions\Snapshot *.dvs.new"
  RMDir "$INSTDIR\Positions"
  Delete "$INSTDIR\Shortcuts\*.dvl"
  Delete "$INSTDIR\Shortcuts\*.dvl.new"
  RMDir "$INSTDIR\Shortcuts"
  !insertmacro DERVANE_USER_FILES UnRemoveFile
  RMDir "$INSTDIR"
SectionEnd
