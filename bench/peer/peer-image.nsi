; An empty installer with the pages ours shows, in Simplified Chinese, for
; the size of the bare image: welcome, licence, folder, progress, finish
; (Modern UI 2).
; makensis -DLICENCE=FILE -DOUTFILE=FILE peer-image.nsi
!include "MUI2.nsh"

SetCompressor zlib
Name "Parvane"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Tavisk\Parvane"
RequestExecutionLevel admin

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "SimpChinese"

Section
SectionEnd
