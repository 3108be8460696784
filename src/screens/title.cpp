// The title menu: a one- or two-player game, or quit.
#include "screens/title.h"

#include "app/assets.h"
#include "app/colors.h"
#include "screens/game_view.h"
#include "screens/layout.h"

namespace {

constexpr int8_t quit_line = 3;
constexpr int scancode_shift = 8; // readkey: scancode above, character below

MenuChoice choice_of_line(int8_t selection)
{
    switch (selection) {
    case 1: return MenuChoice::one_player;
    case 2: return MenuChoice::two_players;
    default: return MenuChoice::quit;
    }
}

void stretch_whole(BITMAP* picture, BITMAP* target)
{
    stretch_blit(picture, target, 0, 0, picture->w, picture->h, 0, 0, target->w, target->h);
}

// The scan-lines take the drawing mode in force: solid in the first menu of a run,
// translucent at level 192 after a game has left it so. The game keeps that look.
void prepare_game_background(BITMAP* game_background)
{
    stretch_whole(asset_bitmap(Asset::game_background), game_background);
    for (int y = 0; y < screen_height; y += scan_line_step)
        line(game_background, 0, y, screen_width - 1, y, color_black);
}

void draw_menu(BITMAP* display, int8_t selection)
{
    for (int line_no = 1; line_no <= menu_line_count; line_no++) {
        const int color = line_no == selection ? color_highlight : color_white;
        textout_ex(display, font, menu_texts[line_no - 1], menu_x,
                   menu_first_y + menu_line_step * (line_no - 1), color, -1);
    }
}

// Only a key pressed after the lines appear counts.
MenuChoice wait_for_choice(const ScreenIo& io)
{
    int8_t selection = menu_start_selection;
    for (;;) {
        draw_menu(io.display, selection);
        const int pressed = io.read_fresh_key();
        if (pressed == key_quit)
            return MenuChoice::quit;
        const MenuStep step = menu_step(selection, pressed >> scancode_shift);
        if (step.choice != MenuChoice::none)
            return step.choice;
        selection = step.selection;
    }
}

} // namespace

bool make_screen_images(const ScreenIo& io, ScreenImages& images)
{
    images.frame_buffer = ScreenImage(io, screen_width, screen_height);
    if (images.frame_buffer)
        images.game_background = ScreenImage(io, screen_width, screen_height);
    if (images.game_background)
        images.title_image = ScreenImage(io, screen_width, screen_height);
    if (images.title_image)
        return true;
    free_screen_images(images);
    return false;
}

void free_screen_images(ScreenImages& images)
{
    images.game_background.reset();
    images.frame_buffer.reset();
    images.title_image.reset();
}

MenuStep menu_step(int8_t selection, int scancode)
{
    switch (scancode) {
    case KEY_1: return {selection, MenuChoice::one_player};
    case KEY_2: return {selection, MenuChoice::two_players};
    case KEY_ESC: return {selection, MenuChoice::quit};
    case KEY_ENTER: return {selection, choice_of_line(selection)};
    case KEY_UP: return {static_cast<int8_t>(selection == 1 ? quit_line : selection - 1), MenuChoice::none};
    case KEY_DOWN: return {static_cast<int8_t>(selection == quit_line ? 1 : selection + 1), MenuChoice::none};
    default: return {selection, MenuChoice::none};
    }
}

void prepare_screen_images(ScreenImages& images)
{
    clear_bitmap(images.frame_buffer.get());
    stretch_whole(asset_bitmap(Asset::title_picture), images.title_image.get());
    prepare_game_background(images.game_background.get());
    draw_panel(images.game_background.get(), clock_panel_x, clock_panel_y, clock_panel_width, clock_panel_height);
}

MenuChoice run_title(const ScreenIo& io, ScreenImages& images)
{
    io.play_sound(Asset::title_sound, centre_pan, recorded_pitch);
    prepare_screen_images(images);
    blit(images.title_image.get(), io.display, 0, 0, 0, 0, screen_width, screen_height);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    text_mode(-1); // for any later caller of the old text calls; ours pass it themselves
#pragma GCC diagnostic pop
    return wait_for_choice(io);
}
