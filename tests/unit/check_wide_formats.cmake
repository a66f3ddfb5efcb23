# MinGW's wide printf family follows C99 and reads "%s" and "%c" in a wide
# format as narrow, MSVC reads them as wide ("%S" and "%C" the other way
# round). So every call of the runtime's wide printf or scanf family takes a
# wide literal, or an array defined with one in the same file, as its format,
# and that literal says %ls or %lc. A string-table format goes to wsprintfW or
# FormatWithText (core/text16.h) instead: its text keeps the system's "%s".
# Run as: cmake -DDIR=<folder> -P check_wide_formats.cmake
cmake_minimum_required(VERSION 3.16)
file(GLOB_RECURSE sources "${DIR}/*.cpp" "${DIR}/*.h")
# Each function with the number of arguments before its format.
set(functions swprintf:2 vswprintf:2 snwprintf:2 _snwprintf:2 _vsnwprintf:2 _swprintf:1 swscanf:1 fwprintf:1
    vfwprintf:1 fwscanf:1 wprintf:0 vwprintf:0 wscanf:0 _scwprintf:0)
set(literal "(L|TEXT16\\(|TEXT\\()\"([^\"\\\\]|\\\\.)*\"")
set(s "[ \t\r\n]*")
set(findings 0)
foreach(source ${sources})
  file(READ "${source}" text)
  foreach(function ${functions})
    string(REPLACE ":" ";" function "${function}")
    list(GET function 0 name)
    list(GET function 1 index)
    string(REPEAT "[^,;]*," ${index} before)
    string(REGEX MATCHALL "(^|[^A-Za-z0-9_])${name}${s}\\([^;]*" calls "${text}")
    foreach(call ${calls})
      set(format "")
      if(call MATCHES "\\(${s}${before}${s}(${literal}|[A-Za-z_][A-Za-z0-9_]*)${s}[,)]")
        set(format "${CMAKE_MATCH_1}")
      endif()
      if(format MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
        if(text MATCHES "[^A-Za-z0-9_]${format}${s}\\[${s}\\]${s}=${s}(${literal})")
          set(format "${CMAKE_MATCH_1}")
        endif()
      endif()
      string(REPLACE "%%" "" stripped "${format}")
      if(NOT format MATCHES "^${literal}$")
        message("${source}: ${name} takes a format that is not a wide literal: ${call}")
        math(EXPR findings "${findings} + 1")
      elseif(stripped MATCHES "%[-+ #0]*[0-9*]*(\\.[0-9*]*)?[sScC]")
        message("${source}: ${name} with a bare %s, %S, %c or %C in its wide format: ${format}")
        math(EXPR findings "${findings} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()
if(findings GREATER 0)
  message(FATAL_ERROR "${findings} wide format(s) that MinGW and MSVC read differently")
endif()
