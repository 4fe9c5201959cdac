# Build-time check of the layering: every quoted #include of the files in
# FILES must name a header in ALLOWED (the library's own headers and those of
# the libraries below it), written the same way.  Run with
#   cmake -DNAME=... -DROOT=... -DFILES=a;b -DALLOWED=x;y -DSTAMP=... -P check_includes.cmake
# FILES are relative to ROOT.  Touches STAMP when everything is in order.
set(errors "")
foreach(f IN LISTS FILES)
  file(STRINGS "${ROOT}/${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" inc "${line}")
    list(FIND ALLOWED "${inc}" at)
    if(at EQUAL -1)
      string(APPEND errors "\n  ${f}: #include \"${inc}\" is not a header of ${NAME} or of a library below it")
    endif()
  endforeach()
endforeach()
if(errors)
  message(FATAL_ERROR "Layering of ${NAME}:${errors}")
endif()
file(TOUCH "${STAMP}")
