// The program: start-up, then starfield, title menu and games until the player quits.
#include <allegro.h>

#include "app/assets.h"
#include "app/colors.h"
#include "app/startup.h"
#include "scores/scores_file.h"
#include "screens/popup_view.h"
#include "screens/starfield.h"
#include "screens/title.h"

int main()
{
    if (const char* problem = start_library())
        fail_start(problem);
    if (const char* problem = set_screen_mode())
        fail_start(problem);
    make_colors();
    if (const char* problem = load_game_data(datafile_name))
        fail_start(problem);
    load_scores();
    make_popup_images();

    run_starfield();
    while (run_title()) {
    }
    run_starfield(); // the farewell
    save_scores();
    return 0;
}
END_OF_MAIN()
