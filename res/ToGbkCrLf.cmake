# The installer shows its licence in an edit control as GBK text, which
# breaks lines only at CR LF. The source stays UTF-8 like every other
# source here; this script makes the resource's bytes from it.
#   cmake -DICONV=... -DSOURCE=... -DTARGET=... -P ToGbkCrLf.cmake
foreach(var ICONV SOURCE TARGET)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "ToGbkCrLf.cmake needs -D${var}=...")
  endif()
endforeach()

# iconv fails on any character that GBK cannot hold, rather than dropping it.
execute_process(COMMAND ${ICONV} -f UTF-8 -t GBK
  INPUT_FILE ${SOURCE}
  OUTPUT_VARIABLE text
  ERROR_VARIABLE problem
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${SOURCE} does not convert to GBK: ${problem}")
endif()

string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TARGET}.tmp "${text}")
file(RENAME ${TARGET}.tmp ${TARGET})
