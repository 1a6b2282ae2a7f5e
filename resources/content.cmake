# The program's content, rendered from its sources here at build time:
#   art/*.svg      pictures (rsvg-convert, then ImageMagick for the stored formats)
#   arrows/*.xpm   the six 15 x 15 arrow bitmaps
#   cursors/*.txt  the screen cursors (pixel art, written by the native tool iconc)
#   docs/*.rtf     the wizard's documents
# The cursors, the icon and the arrows go into orvasil.rc from this build folder; the other
# files land in ORVASIL_ART_DIR, named by the ORVASIL_ART_* variables, for the window
# definitions. Every output is checked for its size and depth, so a bad render fails the build.

# Debian's ImageMagick lives in /usr/bin; look there first.
find_program(ORVASIL_RSVG rsvg-convert REQUIRED)
find_program(ORVASIL_CONVERT convert HINTS /usr/bin REQUIRED)
set(iconc ${ORVASIL_HOST_TOOLS_DIR}/iconc)
set(src ${CMAKE_CURRENT_SOURCE_DIR})
set(out ${CMAKE_CURRENT_BINARY_DIR})
set(art ${out}/art)
set(work ${out}/art-work)
file(MAKE_DIRECTORY ${art} ${work})

set(content_outputs)

# Options and output prefix of ImageMagick for each stored format.
set(format_bmp8 +dither -colors 256 -type Palette -compress none BMP3)
set(format_bmp4 +dither -colors 16 -type Palette -compress none BMP3)
set(format_bmp24 -type TrueColor -compress none BMP3)
set(format_jpeg -strip -interlace none -sampling-factor 2x2 -quality 92 JPEG)

# orvasil_picture(OUTPUT SVG WIDTH HEIGHT BITS FORMAT [CSS stylesheet])
# Renders SVG (with the stylesheet, if any) to PNG, stores it in FORMAT (one of the lists
# above) and checks that OUTPUT has the size and bits per pixel given.
function(orvasil_picture output svg width height bits format)
  cmake_parse_arguments(P "" "CSS" "" ${ARGN})
  get_filename_component(stem ${output} NAME_WE)
  set(png ${work}/${stem}.png)
  set(rsvg_args -w ${width} -h ${height})
  set(deps ${svg} ${iconc})
  if(P_CSS)
    list(APPEND rsvg_args --stylesheet ${P_CSS})
    list(APPEND deps ${P_CSS})
  endif()
  set(options ${format_${format}})
  list(POP_BACK options prefix)
  add_custom_command(OUTPUT ${output}
    COMMAND ${ORVASIL_RSVG} ${rsvg_args} -o ${png} ${svg}
    COMMAND ${ORVASIL_CONVERT} ${png} -alpha off ${options} ${prefix}:${output}
    COMMAND ${iconc} check ${output} ${width} ${height} ${bits}
    DEPENDS ${deps}
    COMMENT "Rendering ${stem}"
    VERBATIM)
  set(content_outputs ${content_outputs} ${output} PARENT_SCOPE)
endfunction()

set(ORVASIL_ART_DIR ${art} PARENT_SCOPE)
foreach(item
    "TOPBAR;topbar.bmp;topbar.svg;;625;24;8;bmp8"
    "TOPBAR_LIT;topbar-lit.bmp;topbar.svg;topbar-lit.css;625;24;4;bmp4"
    "COVER;cover.jpg;cover.svg;;625;413;24;jpeg"
    "COVER_LIT;cover-lit.jpg;cover.svg;cover-lit.css;625;413;24;jpeg"
    "PROGRAMS;programs.jpg;programs.svg;;625;156;24;jpeg"
    "BANNER;banner.bmp;banner.svg;;473;60;24;bmp24")
  list(GET item 0 name)
  list(GET item 1 file)
  list(GET item 2 svg)
  list(GET item 3 css)
  list(GET item 4 width)
  list(GET item 5 height)
  list(GET item 6 bits)
  list(GET item 7 format)
  set(css_args)
  if(css)
    set(css_args CSS ${src}/art/${css})
  endif()
  orvasil_picture(${art}/${file} ${src}/art/${svg} ${width} ${height} ${bits} ${format} ${css_args})
  set(ORVASIL_ART_${name} ${art}/${file} PARENT_SCOPE)
endforeach()

# The main window's five pictures as one image-collection stream, in the order its maps use
# them: the top bar and its lit version, the cover and its lit version, the programs panel.
set(imgc ${ORVASIL_HOST_TOOLS_DIR}/imgc)
add_custom_command(OUTPUT ${art}/mainimages.klx
  COMMAND ${imgc} ${art}/mainimages.klx
          TBitmap:${art}/topbar.bmp TBitmap:${art}/topbar-lit.bmp
          TJPEGImage:${art}/cover.jpg TJPEGImage:${art}/cover-lit.jpg TJPEGImage:${art}/programs.jpg
  DEPENDS ${imgc} ${art}/topbar.bmp ${art}/topbar-lit.bmp ${art}/cover.jpg ${art}/cover-lit.jpg
          ${art}/programs.jpg
  COMMENT "Collecting the main window's pictures"
  VERBATIM)
list(APPEND content_outputs ${art}/mainimages.klx)

# The banner as a picture property of a window definition holds it: the graphic's class name as
# a short string, then the bitmap file.
string(ASCII 7 class_name_length)
file(WRITE ${work}/tbitmap.head "${class_name_length}TBitmap")
add_custom_command(OUTPUT ${art}/banner.pic
  COMMAND ${CMAKE_COMMAND} -E cat ${work}/tbitmap.head ${art}/banner.bmp > ${art}/banner.pic
  DEPENDS ${art}/banner.bmp ${work}/tbitmap.head
  COMMENT "Wrapping the banner as a picture")
list(APPEND content_outputs ${art}/banner.pic)

foreach(doc start about)
  add_custom_command(OUTPUT ${art}/${doc}.rtf
    COMMAND ${CMAKE_COMMAND} -E copy ${src}/docs/${doc}.rtf ${art}/${doc}.rtf
    DEPENDS ${src}/docs/${doc}.rtf
    VERBATIM)
  list(APPEND content_outputs ${art}/${doc}.rtf)
endforeach()
set(ORVASIL_ART_START_DOC ${art}/start.rtf PARENT_SCOPE)
set(ORVASIL_ART_ABOUT_DOC ${art}/about.rtf PARENT_SCOPE)

# What orvasil.rc embeds.
set(rc_content)
foreach(arrow larrow rarrow lrhold uarrow darrow udhold)
  add_custom_command(OUTPUT ${out}/${arrow}.bmp
    COMMAND ${ORVASIL_CONVERT} ${src}/arrows/${arrow}.xpm -type TrueColor -compress none BMP3:${out}/${arrow}.bmp
    COMMAND ${iconc} check ${out}/${arrow}.bmp 15 15 24
    DEPENDS ${src}/arrows/${arrow}.xpm ${iconc}
    VERBATIM)
  list(APPEND rc_content ${out}/${arrow}.bmp)
endforeach()

foreach(cursor crhmove crhpoint crpick)
  add_custom_command(OUTPUT ${out}/${cursor}.cur
    COMMAND ${iconc} cursor ${out}/${cursor}.cur ${src}/cursors/${cursor}.txt
    DEPENDS ${src}/cursors/${cursor}.txt ${iconc}
    COMMENT "Writing cursor ${cursor}"
    VERBATIM)
  list(APPEND rc_content ${out}/${cursor}.cur)
endforeach()

# The icon: each size at 32 bits (alpha) and at 8 bits with a mask, for systems that show
# no alpha. 16 pixels has a drawing of its own.
set(icon_images)
set(icon_steps)
foreach(size 48 32 16)
  if(size EQUAL 16)
    set(svg ${src}/art/icon16.svg)
  else()
    set(svg ${src}/art/icon.svg)
  endif()
  set(png ${work}/icon${size}.png)
  list(APPEND icon_steps
    COMMAND ${ORVASIL_RSVG} -w ${size} -h ${size} -o ${png} ${svg}
    COMMAND ${ORVASIL_CONVERT} ${png} -depth 8 rgba:${work}/icon${size}.rgba
    COMMAND ${ORVASIL_CONVERT} ${png} -channel A -threshold 50% +channel +dither -colors 255
            -depth 8 rgba:${work}/icon${size}-8.rgba)
  list(APPEND icon_images ${size}:32:${work}/icon${size}.rgba ${size}:8:${work}/icon${size}-8.rgba)
endforeach()
add_custom_command(OUTPUT ${out}/orvasil.ico
  ${icon_steps}
  COMMAND ${iconc} icon ${out}/orvasil.ico ${icon_images}
  DEPENDS ${src}/art/icon.svg ${src}/art/icon16.svg ${iconc}
  COMMENT "Writing the program's icon"
  VERBATIM)
list(APPEND rc_content ${out}/orvasil.ico)

add_custom_target(orvasil_art ALL DEPENDS ${content_outputs} ${rc_content})
