; The peer installer timed against ours: the same tree into one folder,
; every file its own zlib stream (not solid, as ours packs), with a licence
; page and a folder page. make bench runs it silently:
;   Setup.exe /S /D=C:\target
; makensis -DTREE=DIR -DLICENCE=FILE -DOUTFILE=FILE peer-install.nsi
SetCompressor zlib
Name "Parvane"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Tavisk\Parvane"
RequestExecutionLevel admin
LicenseData "${LICENCE}"

Page license
Page directory
Page instfiles

Section
  SetOutPath "$INSTDIR"
  File /r "${TREE}/*"
SectionEnd
