# Checks that every function the plugin DLL imports exists on Windows XP: each
# one must be declared by the mingw-w64 headers when they are asked for XP.
# Also that the DLL imports from Windows system DLLs only.
#   cmake -DDLL=<Vantorel.dll> -DOBJDUMP=<objdump> -DCC=<gcc> -DWORK=<dir> -P xpImports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot read the imports of ${DLL}")
endif()

set(allowed ADVAPI32.dll KERNEL32.dll msvcrt.dll PSAPI.DLL SHELL32.dll USER32.dll VERSION.dll)
string(REPLACE "\n" ";" lines "${dump}")
set(dll "")
set(functions "")
set(count 0)
foreach(line IN LISTS lines)
  if(line MATCHES "DLL Name: (.+)$")
    set(dll "${CMAKE_MATCH_1}")
    list(FIND allowed "${dll}" known)
    if(known EQUAL -1)
      message(FATAL_ERROR "imports from ${dll}, which is not a Windows system DLL the host can count on")
    endif()
  elseif(dll AND line MATCHES "^\t+[0-9a-f]+[ \t]+[0-9]+[ \t]+([A-Za-z_][A-Za-z0-9_]*)$")
    # The C runtime's own names are not declared by the Windows headers.
    if(NOT dll STREQUAL "msvcrt.dll")
      list(APPEND functions "${CMAKE_MATCH_1}")
      math(EXPR count "${count} + 1")
    endif()
  elseif(line MATCHES "^$")
    set(dll "")
  endif()
endforeach()
if(count LESS 20)
  message(FATAL_ERROR "found only ${count} imports in ${DLL}: the listing was not understood")
endif()

set(source "#include <windows.h>\n#include <psapi.h>\nvoid* imported[] = {\n")
foreach(f IN LISTS functions)
  string(APPEND source "  (void*)&${f},\n")
endforeach()
string(APPEND source "};\n")
file(WRITE ${WORK}/xpImports.c "${source}")
execute_process(COMMAND ${CC} -c -Werror=implicit-function-declaration
                        -D_WIN32_WINNT=0x0501 -DWINVER=0x0501 -DPSAPI_VERSION=1
                        ${WORK}/xpImports.c -o ${WORK}/xpImports.o
                ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "imports newer than Windows XP:\n${errors}")
endif()
message(STATUS "${count} imports, all present on Windows XP")
