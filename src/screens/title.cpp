// The title menu: one- or two-player game, or quit. Each call prepares the images a game
// needs and, unless the user quits, plays one game.
#include "screens/title.h"

#include "app/assets.h"
#include "app/colors.h"
#include "screens/game_loop.h"
#include "screens/layout.h"
#include "screens/panel.h"

namespace {

constexpr int8_t quit_line = 3;
constexpr int scan_line_step = 2; // a scan-line on every even row
constexpr int scancode_shift = 8; // readkey: scancode above, character below

MenuAction action_of_line(int8_t selection)
{
    switch (selection) {
    case 1: return MenuAction::one_player;
    case 2: return MenuAction::two_players;
    default: return MenuAction::quit;
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
MenuAction wait_for_choice(const Output& output)
{
    int8_t selection = menu_start_selection;
    for (;;) {
        draw_menu(output.display, selection);
        const MenuStep step = menu_step(selection, output.read_fresh_key() >> scancode_shift);
        if (step.action != MenuAction::none)
            return step.action;
        selection = step.selection;
    }
}

} // namespace

MenuStep menu_step(int8_t selection, int scancode)
{
    switch (scancode) {
    case KEY_1: return {selection, MenuAction::one_player};
    case KEY_2: return {selection, MenuAction::two_players};
    case KEY_ESC: return {selection, MenuAction::quit};
    case KEY_ENTER: return {selection, action_of_line(selection)};
    case KEY_UP: return {static_cast<int8_t>(selection == 1 ? quit_line : selection - 1),
                         MenuAction::none};
    case KEY_DOWN: return {static_cast<int8_t>(selection == quit_line ? 1 : selection + 1),
                           MenuAction::none};
    default: return {selection, MenuAction::none};
    }
}

bool make_game_images(GameImages& images)
{
    BITMAP** slots[] = {&images.frame_buffer, &images.game_background, &images.title_image};
    for (BITMAP** slot : slots)
        *slot = nullptr;
    for (BITMAP** slot : slots) {
        *slot = create_screen_image(screen_width, screen_height);
        if (!*slot) {
            free_game_images(images);
            return false;
        }
    }
    return true;
}

void free_game_images(GameImages& images)
{
    BITMAP** slots[] = {&images.frame_buffer, &images.game_background, &images.title_image};
    for (BITMAP** slot : slots) {
        if (*slot)
            destroy_screen_image(*slot);
        *slot = nullptr;
    }
}

bool run_title()
{
    return run_title_on(screen_output());
}

bool run_title_on(const Output& output)
{
    GameImages images;
    if (!make_game_images(images))
        return false;
    output.play_sound(Asset::title_sound);
    clear_bitmap(images.frame_buffer);
    stretch_whole(asset_bitmap(Asset::title_picture), images.title_image);
    prepare_game_background(images.game_background);
    blit(images.title_image, output.display, 0, 0, 0, 0, screen_width, screen_height);
    draw_panel(images.game_background, clock_panel_x, clock_panel_y, clock_panel_width,
               clock_panel_height);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    text_mode(-1); // for any later caller of the old text calls; ours pass it themselves
#pragma GCC diagnostic pop

    const MenuAction choice = wait_for_choice(output);
    if (choice == MenuAction::quit) {
        free_game_images(images);
        return false;
    }
    const int count = choice == MenuAction::one_player ? 1 : 2;
    play_game_on(output, count, images.frame_buffer, images.game_background, images.title_image);
    return true;
}
