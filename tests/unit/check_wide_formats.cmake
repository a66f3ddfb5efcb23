# Fails when a wide format in the sources could show a string differently
# with MinGW and with MSVC. MinGW's wide printf family follows C99 and reads
# "%s" (and "%c") in a wide format as narrow, MSVC reads them as wide; "%S"
# and "%C" are the other way round. So every call of the C runtime's wide
# printf or scanf family:
#  - takes as its format a wide literal (L"...", TEXT16("..."), TEXT("...")),
#    or the name of an array defined with one in the same file: a
#    string-table format goes to wsprintfW or to FormatWithText
#    (core/text16.h) instead, since its text is the system's and keeps the
#    plain "%s" of its own text;
#  - and that literal holds no bare %s, %S, %c or %C: the code's own formats
#    say %ls or %lc.
# Run as: cmake -DDIR=<folder> -P check_wide_formats.cmake
cmake_minimum_required(VERSION 3.16)
if(NOT DIR)
  message(FATAL_ERROR "DIR not set")
endif()
file(GLOB_RECURSE sources "${DIR}/*.cpp" "${DIR}/*.h")
set(findings 0)

# Function name -> index of its format argument.
set(format_index_swprintf 2)
set(format_index_vswprintf 2)
set(format_index_snwprintf 2)
set(format_index__snwprintf 2)
set(format_index__vsnwprintf 2)
set(format_index__swprintf 1)
set(format_index_swscanf 1)
set(format_index_fwprintf 1)
set(format_index_vfwprintf 1)
set(format_index_fwscanf 1)
set(format_index_wprintf 0)
set(format_index_vwprintf 0)
set(format_index_wscanf 0)
set(format_index__scwprintf 0)
set(crt_names "swprintf|vswprintf|snwprintf|_snwprintf|_vsnwprintf|_swprintf|swscanf|fwprintf|vfwprintf|fwscanf|wprintf|vwprintf|wscanf|_scwprintf")

foreach(source ${sources})
  file(READ "${source}" text)
  file(RELATIVE_PATH shown "${DIR}" "${source}")

  # Every call of the runtime's wide formatting; the call's text runs to the
  # next ';'.
  string(REGEX MATCHALL "(^|[^A-Za-z0-9_])(${crt_names})[ \t\r\n]*\\([^;]*" calls "${text}")
  foreach(call ${calls})
    string(REGEX REPLACE "^[^A-Za-z0-9_]" "" call "${call}")
    string(REGEX MATCH "^[A-Za-z0-9_]+" name "${call}")
    string(FIND "${call}" "(" open)
    math(EXPR at "${open} + 1")
    string(LENGTH "${call}" length)
    # Split the arguments at the commas of the outermost parentheses,
    # passing over string and character literals.
    set(depth 0)
    set(quote "")
    set(argument "")
    set(index 0)
    set(format_argument "")
    while(at LESS length)
      string(SUBSTRING "${call}" ${at} 1 c)
      math(EXPR at "${at} + 1")
      if(quote)
        string(APPEND argument "${c}")
        if(c STREQUAL "\\")
          string(SUBSTRING "${call}" ${at} 1 next)
          string(APPEND argument "${next}")
          math(EXPR at "${at} + 1")
        elseif(c STREQUAL quote)
          set(quote "")
        endif()
        continue()
      endif()
      if(c STREQUAL "\"" OR c STREQUAL "'")
        set(quote "${c}")
      elseif(c STREQUAL "(")
        math(EXPR depth "${depth} + 1")
      elseif(c STREQUAL ")")
        if(depth EQUAL 0)
          break()
        endif()
        math(EXPR depth "${depth} - 1")
      elseif(c STREQUAL "," AND depth EQUAL 0)
        if(index EQUAL format_index_${name})
          set(format_argument "${argument}")
        endif()
        math(EXPR index "${index} + 1")
        set(argument "")
        continue()
      endif()
      string(APPEND argument "${c}")
    endwhile()
    if(index EQUAL format_index_${name})
      set(format_argument "${argument}")
    endif()
    string(STRIP "${format_argument}" format_argument)
    # A name stands for the wide literal it is defined with in this file.
    if(format_argument MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
      if(text MATCHES "[^A-Za-z0-9_]${format_argument}[ \t]*\\[[ \t]*\\][ \t]*=[ \t]*((L|TEXT16\\(|TEXT\\()\"([^\"\\\\]|\\\\.)*\")")
        set(format_argument "${CMAKE_MATCH_1}")
      endif()
    endif()
    if(NOT format_argument MATCHES "^(L|TEXT16\\(|TEXT\\()\"")
      message("${shown}: ${name} takes a format that is not a wide literal (${format_argument}); "
              "use wsprintfW or FormatWithText for a string-table format")
      math(EXPR findings "${findings} + 1")
      continue()
    endif()
    string(REPLACE "%%" "" stripped "${format_argument}")
    if(stripped MATCHES "%[-+ #0]*[0-9*]*(\\.[0-9*]*)?[sScC]")
      message("${shown}: ${name} with a bare %s, %S, %c or %C in its wide format: ${format_argument}")
      math(EXPR findings "${findings} + 1")
    endif()
  endforeach()
endforeach()

list(LENGTH sources checked)
if(findings GREATER 0)
  message(FATAL_ERROR "${findings} wide format(s) that MinGW and MSVC read differently")
endif()
message("${checked} files checked, no wide format with a bare %s")
