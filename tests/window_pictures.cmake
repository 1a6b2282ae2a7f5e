# Pictures shaped like the main window's image collection, drawn by ImageMagick at build time:
# two 625 x 24 bitmaps (8 and 4 bits per pixel) and JPEG pictures of 625 x 413, 625 x 413 and
# 625 x 156. orvasil_window_pictures(DIR VAR) sets VAR to the imgc arguments CLASS:FILE.
find_program(ORVASIL_CONVERT convert REQUIRED)

function(orvasil_window_pictures dir var)
  set(pictures
    "top.bmp|-size 625x24 gradient:navy-silver -colors 200 -type palette -compress none bmp3:"
    "top-hi.bmp|-size 625x24 gradient:navy-yellow -colors 16 -type palette -compress none bmp3:"
    "cover.jpg|-size 625x413 gradient:white-steelblue -quality 85 jpg:"
    "cover-hi.jpg|-size 625x413 gradient:lightyellow-steelblue -quality 85 jpg:"
    "programs.jpg|-size 625x156 gradient:gray90-darkgreen -quality 85 jpg:")
  set(args)
  foreach(picture IN LISTS pictures)
    string(REPLACE "|" ";" fields "${picture}")
    list(GET fields 0 name)
    list(GET fields 1 command)
    separate_arguments(command UNIX_COMMAND "${command}")
    list(POP_BACK command last)
    add_custom_command(OUTPUT ${dir}/${name}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND ${ORVASIL_CONVERT} ${command} ${last}${dir}/${name}
      COMMENT "Drawing ${name}")
    if(name MATCHES "\\.bmp$")
      list(APPEND args TBitmap:${dir}/${name})
    else()
      list(APPEND args TJPEGImage:${dir}/${name})
    endif()
  endforeach()
  set(${var} ${args} PARENT_SCOPE)
endfunction()
