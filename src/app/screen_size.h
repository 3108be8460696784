// The size of the screen every part of the game draws for.
#pragma once

constexpr int screen_width = 640;
constexpr int screen_height = 480;
constexpr int screen_centre_x = screen_width / 2;
