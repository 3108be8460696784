// How desktops know the game's window: its title, its class (the desktop entry's
// StartupWMClass, so docks group the window under the game's icon) and its icon.
#pragma once

// The library's X port makes its window inside allegro_init() and reads the class and the
// icon then: call this before allegro_init().
void set_window_class_and_icon();

// allegro_init() titles the window with the program's file name: call this after it, before
// set_gfx_mode().
void set_window_caption();
