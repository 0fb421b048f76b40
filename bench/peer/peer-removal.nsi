; Makes the peer's uninstaller: run once, silently, it writes uninst.exe
; beside itself, whose only work is to remove $INSTDIR whole. make bench
; runs that in place, so that its exit is the end of the removal:
;   uninst.exe /S _?=C:\tree
; makensis -DOUTFILE=FILE peer-removal.nsi
SetCompressor zlib
Name "Parvane"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent

Section
  WriteUninstaller "$EXEDIR\uninst.exe"
SectionEnd

Section Uninstall
  RMDir /r "$INSTDIR"
SectionEnd
