; Per-user installer of the Windows program: no administrator rights, into
; the user's own programs folder, with a Start-menu shortcut, an entry in
; the list of installed programs and an optional start at login. The
; uninstaller keeps the user's settings and data unless asked (the
; component on its page, or /PURGE when silent).
; makensis -DVERSION=x.y.z -DSOURCE=<deployed folder> -DFILELIST=<Delete lines> -DOUTFILE=<setup.exe>
Target amd64-unicode
!include "MUI2.nsh"
!include "FileFunc.nsh"

!ifndef VERSION
  !error "VERSION missing"
!endif
!ifndef SOURCE
  !error "SOURCE missing"
!endif
!ifndef FILELIST
  !error "FILELIST missing"
!endif
!ifndef NEEDED
  !error "NEEDED missing"
!endif
!ifndef OUTFILE
  !define OUTFILE "MireloPlus-${VERSION}-setup.exe"
!endif

!define APP "MIRELO+"
!define EXE "mireloplus.exe"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\MIRELOPLUS"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program's own autostart value, so its setting shows what was chosen here.
!define RUN_VALUE "MIRELO+"

Name "${APP}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\MIRELO+"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
SetCompressor /SOLID lzma

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Turkish"

; A program or DLL that did not arrive (a write refused, a file taken away
; by a virus scanner) would stop the program at its start with Windows' own
; message; the installer says which one instead and stops.
!macro NeedFile NAME
  ; A folder of that name is no file (IfFileExists takes either).
  IfFileExists "$INSTDIR\${NAME}\*.*" +3 0
  IfFileExists "$INSTDIR\${NAME}" 0 +2
  Goto +4
    DetailPrint "Eksik dosya: ${NAME}"
    MessageBox MB_ICONSTOP "Kurulum tamamlanamadi: ${NAME} kurulamadi ($INSTDIR). Program onsuz baslamaz; kurulumu yeniden calistir." /SD IDOK
    Abort "Kurulum tamamlanamadi: ${NAME} eksik."
!macroend


Section "MIRELO+" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; A file in use (the program still running) stops the install with a
  ; message rather than leaving half an old folder.
  SetOverwrite on
  File /r "${SOURCE}\*.*"
  !include "${NEEDED}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "MIRELOPLUS"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${EXE}"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Oturum acilinca baslat" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${EXE}" --tray'
SectionEnd

Section "un.MIRELO+" UnSecMain
  SectionIn RO
  ; Only the program's own files: a folder the user chose may hold others.
  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKCU "${UNINST_KEY}"
  !include "${FILELIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.Ayarlari ve verileri de sil" UnSecPurge
  DeleteRegKey HKCU "Software\MIRELOPLUS\MireloPlus"
  DeleteRegKey /ifempty HKCU "Software\MIRELOPLUS"
  RMDir /r "$APPDATA\MIRELOPLUS\MireloPlus"
  RMDir "$APPDATA\MIRELOPLUS"
  RMDir /r "$LOCALAPPDATA\MIRELOPLUS\MireloPlus"
  RMDir "$LOCALAPPDATA\MIRELOPLUS"
SectionEnd

; After the sections, whose indexes they use.
Function .onInit
  SetShellVarContext current
  ; Silent install: /AUTOSTART also starts the program at login.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  IfErrors +2 0
    SectionSetFlags ${SecAutostart} ${SF_SELECTED}
FunctionEnd

Function un.onInit
  SetShellVarContext current
  ; Silent uninstall: /PURGE also removes settings and data.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PURGE" $1
  IfErrors +2 0
    SectionSetFlags ${UnSecPurge} ${SF_SELECTED}
FunctionEnd
