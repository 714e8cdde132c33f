; The Windows installer: the portable folder installed under Program Files for every user, with
; a Start-menu entry, an optional shortcut that starts the controller at logon ("AUTO"), and an
; uninstaller registered in Add/Remove Programs; its pages welcome, describe both components and
; offer to start the program at the end. Each user's Mostrela.cfg and spool live in that user's
; folders and stay when the program goes.
;
; makensis -DVERSION=1.1.0 -DSTAGE=<portable folder> -DFILES=<files.nsh> -DOUTFILE=<setup.exe>
; where files.nsh holds one "File"/"Delete" pair list made from the folder (scripts/package-windows).
;
; Silent install: setup.exe /S, with /AUTO=1 to start at logon (/AUTO=0, the default, not) and
; /D=<folder> to install elsewhere. Silent removal: uninstall.exe /S.

Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define PRODUCT "Mostrela"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mostrela"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2070 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2070 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2070 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2070 "FileDescription" "Instalador de ${PRODUCT}"
VIAddVersionKey /LANG=2070 "CompanyName" "Mostrela maintainers"
VIAddVersionKey /LANG=2070 "LegalCopyright" "Mostrela maintainers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEPAGE_TEXT "Este assistente instala o $(^NameDA), que mostra no display de \
cliente as mensagens do programa de vendas.$\r$\n$\r$\nO programa é instalado para todos os \
utilizadores. As definições (Mostrela.cfg), a fila de mensagens e o registo (Mostrela.log) de \
cada utilizador ficam na pasta desse utilizador, %LOCALAPPDATA%\Mostrela, e ficam lá ao \
atualizar ou desinstalar o programa.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
; The description below the list leaves the list the page's whole width for the components' names.
!define MUI_COMPONENTSPAGE_SMALLDESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Iniciar o Mostrela agora"
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsTheUser
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Portuguese"

Section "Mostrela" SecProgram
    SectionIn RO
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    !define INSTALL_FILES
    !include "${FILES}"
    !undef INSTALL_FILES
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\${PRODUCT}"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\mostrela.exe"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}\Desinstalar ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Mostrela maintainers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\mostrela.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Iniciar com o Windows (AUTO)" SecAuto
    SetShellVarContext all
    CreateShortCut "$SMSTARTUP\${PRODUCT}.lnk" "$INSTDIR\mostrela.exe" "AUTO"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "O programa, a entrada no menu Iniciar, o \
desinstalador e o script da tabela das mensagens, SaidaDisplay.sql."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecAuto} "Ao entrar no Windows, o Mostrela abre na página \
de execução (AUTO), para todos os utilizadores."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; The installer runs as an administrator: started by it, the controller would work in the
; administrator's folders. Explorer starts it as the user at the desktop.
Function StartAsTheUser
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\mostrela.exe"'
FunctionEnd

; /AUTO=1 on the command line selects the logon shortcut, /AUTO=0 leaves it out.
Function .onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AUTO=" $1
    ${IfNot} ${Errors}
        ${If} $1 == "1"
            !insertmacro SelectSection ${SecAuto}
        ${Else}
            !insertmacro UnselectSection ${SecAuto}
        ${EndIf}
    ${EndIf}
FunctionEnd

; Only what the installer put there goes: a Mostrela.cfg or a spool beside the program (a user
; who could write the folder) stays, and so does the folder with them.
Section "Uninstall"
    SetShellVarContext all
    Delete "$SMSTARTUP\${PRODUCT}.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}\Desinstalar ${PRODUCT}.lnk"
    RMDir "$SMPROGRAMS\${PRODUCT}"
    !define UNINSTALL_FILES
    !include "${FILES}"
    !undef UNINSTALL_FILES
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
