# The game's icons, all drawn at build time from packaging/blockrise.svg, so the window, the
# menus and the docks show one picture and no drawn copy is kept in the repository.
# Included by src/ (which draws them, the window's icon being compiled into the program) and
# by packaging/ (which installs them).

set(BLOCKRISE_ICON_SVG ${CMAKE_CURRENT_LIST_DIR}/blockrise.svg)
set(BLOCKRISE_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
# Menus and docks of desktops without an SVG loader pick the nearest of these.
set(BLOCKRISE_ICON_SIZES 16 24 32 48 64 128 256)
# The picture is drawn on a 64-pixel grid: at that size every edge falls on a pixel.
set(BLOCKRISE_WINDOW_ICON_SIZE 64)
# ImageMagick names the XPM's array after the file: blockrise_icon.
set(BLOCKRISE_WINDOW_ICON_XPM ${BLOCKRISE_ICON_DIR}/blockrise_icon.xpm)

function(blockrise_icon_png size out)
  set(${out} ${BLOCKRISE_ICON_DIR}/hicolor/${size}x${size}/apps/blockrise.png PARENT_SCOPE)
endfunction()

# Adds the rule drawing every icon to TARGET, and the window's icon to its code as the C
# function blockrise_window_icon(), which returns the XPM. The XPM is reached through a C file
# made here, so no source in the repository includes a file that only a build makes (the
# static checks read the sources of a configured, unbuilt tree).
function(blockrise_draw_icons target)
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
  find_program(IMAGEMAGICK_CONVERT convert REQUIRED)
  set(outputs ${BLOCKRISE_WINDOW_ICON_XPM})
  set(commands)
  foreach(size IN LISTS BLOCKRISE_ICON_SIZES)
    blockrise_icon_png(${size} png)
    get_filename_component(folder ${png} DIRECTORY)
    list(APPEND outputs ${png})
    list(APPEND commands
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${BLOCKRISE_ICON_SVG})
  endforeach()
  blockrise_icon_png(${BLOCKRISE_WINDOW_ICON_SIZE} window_png)
  if(NOT window_png IN_LIST outputs)
    message(FATAL_ERROR "the window's icon size must be one of BLOCKRISE_ICON_SIZES")
  endif()
  add_custom_command(OUTPUT ${outputs}
    ${commands}
    COMMAND ${IMAGEMAGICK_CONVERT} ${window_png} ${BLOCKRISE_WINDOW_ICON_XPM}
    DEPENDS ${BLOCKRISE_ICON_SVG}
    COMMENT "Drawing the icons from blockrise.svg"
    VERBATIM)
  set(code ${BLOCKRISE_ICON_DIR}/blockrise_icon.c)
  file(CONFIGURE OUTPUT ${code} CONTENT [[
#include "blockrise_icon.xpm"

const char *const *blockrise_window_icon(void);

const char *const *blockrise_window_icon(void)
{
    return blockrise_icon;
}
]])
  target_sources(${target} PRIVATE ${outputs} ${code})
endfunction()
