// The window's class, icon and title, as the desktop entry and the installed icon expect.
#include "app/window_identity.h"

#include <allegro.h>

#if defined(ALLEGRO_WITH_XWINDOWS)
#include <xalleg.h>

extern "C" {
// The library defines this and reads it when it makes its window, but no header declares it.
extern void* allegro_icon;
// Drawn from packaging/blockrise.svg by the build (packaging/icons.cmake), the installed
// icon's picture, as the XPM the library wants.
const char* const* blockrise_window_icon();
}
#endif

namespace {
// Must equal StartupWMClass in packaging/blockrise.desktop.in.
constexpr const char window_class[] = "Blockrise";
constexpr const char window_instance[] = "blockrise";
constexpr const char window_title[] = "Blockrise";
} // namespace

void set_window_class_and_icon()
{
#if defined(ALLEGRO_WITH_XWINDOWS)
    xwin_set_window_name(window_instance, window_class);
    // The library only hands the array to libXpm, which reads it.
    allegro_icon = const_cast<char**>(blockrise_window_icon());
#endif
}

void set_window_caption()
{
    set_window_title(window_title);
}
