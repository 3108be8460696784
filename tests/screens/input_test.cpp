// Keys and pads into input records through key scripts (see controls.keys): the default
// controls, the echo filter, the settings file's bindings, the pads.
#include "screen_fixture.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include "app/key_names.h"
#include "screens/input.h"
#include "screens/settings.h"

namespace {

const std::string here = SOURCE_DIR "/tests/screens/";

// Plays a key script (controls.keys says how they read) through a reader with `controls`.
void play_keys(std::istream&& script, const Controls& controls = default_controls())
{
    ASSERT_TRUE(script.good()) << "no script to play";
    InputReader reader = make_input_reader(controls);
    int players = 1, line_no = 0;
    for (std::string line, word, want; std::getline(script, line) && ++line_no;) {
        std::istringstream words(line);
        if (!(words >> word) || word[0] == '#')
            continue;
        if (word == "players") {
            words >> players, reader = make_input_reader(controls), std::fill_n(key, KEY_MAX, 0);
            continue;
        }
        while (words >> want && want != "=")
            key[key_code_of(&want[1])] = want[0] == '+';
        TickInputs inputs;
        read_inputs(reader, players, static_cast<uint32_t>(std::stoul(word)), inputs);
        std::string got;
        for (const PlayerInput& input : inputs) {
            got += got.empty() ? "" : " ";
            for (int a = 0; a < action_count; a++)
                if (is_held(input, static_cast<Action>(a)))
                    got += "^v<>SR"[a];
            got += input.held ? "" : ".";
        }
        std::getline(words >> std::ws, want);
        EXPECT_EQ(got, want) << "line " << line_no;
    }
}

using Input = ScreenTest;

// The default controls and the echo filter in controls.keys; settings_good.cfg's bindings in
// settings_good.keys; a line of settings_bad.warnings for each of settings_bad.cfg's, in order.
TEST_F(Input, KeysPlayAsControlledAndEachSettingReplacesItsEntryOrIsWarnedAboutAndKeepsItsDefault)
{
    play_keys(std::ifstream(here + "controls.keys"));
    std::vector<std::string> warnings, want;
    const Settings s = read_settings((here + "settings_good.cfg").c_str(), warnings);
    EXPECT_EQ(warnings, want);
    play_keys(std::ifstream(here + "settings_good.keys"), s.controls);
    const PadBinding second{0, 0b1010, 3, 2, 10};
    EXPECT_EQ(0, std::memcmp(&s.controls.pads[CONTROLS_PLAYER2], &second, sizeof second));
    auto rest = [](const Settings& t) {
        return std::tuple(t.display.mode, t.display.scale, t.display.scale_asked, t.low_power, t.music_volume,
                          t.effects_volume);
    };
    EXPECT_EQ(rest(s), std::tuple(DisplayMode::window, scale_to_fit, true, true, 0, 255));

    const Settings bad = read_settings((here + "settings_bad.cfg").c_str(), warnings);
    std::ifstream expected(here + "settings_bad.warnings");
    for (std::string line; std::getline(expected, line);)
        want.push_back(here + "settings_bad.cfg: " + line + "; keeping the default");
    EXPECT_EQ(warnings, want);
    const Controls defaults = default_controls();
    EXPECT_EQ(0, std::memcmp(&bad.controls, &defaults, sizeof defaults));
    EXPECT_EQ(rest(bad), rest(Settings{}));
}

TEST_F(Input, TheFirstPadPlaysOnePlayerAndPlayerOneTheSecondPlayerTwoAndTheMenuPadActsOnNewPresses)
{
    auto plug = [](int pad, int sticks, int buttons) { // the library's joystick state, as its driver fills it
        std::memset(&joy[pad], 0, sizeof joy[pad]);
        num_joysticks = std::max(num_joysticks, pad + 1);
        joy[pad].num_sticks = sticks, joy[pad].num_buttons = buttons;
        for (int s = 0; s < sticks; s++)
            joy[pad].stick[s].num_axis = 2;
    };
    play_keys(std::istringstream("players 2\n 1 = . ."));
    plug(0, 4, 10), plug(1, 2, 10);
    joy[0].stick[0].axis[0].d1 = joy[0].stick[3].axis[1].d2 = joy[0].button[0].b = 1; // left, down, swap
    joy[1].stick[1].axis[0].d2 = joy[1].button[1].b = 1; // right on a stick that does not move, raise
    play_keys(std::istringstream("players 1\n 1 = v<S .\n players 2\n 1 +UP = v<S ^R"));
    EXPECT_FALSE(pad_pause_held(default_controls(), 2));
    joy[1].button[7].b = 1; // start
    EXPECT_TRUE(pad_pause_held(default_controls(), 2));
    EXPECT_FALSE(pad_pause_held(default_controls(), 1)) << "the second pad is not in a one-player game";

    // The menu pad moves and confirms on new presses only.
    plug(0, 1, 4);
    set_menu_pad(default_controls().pads[CONTROLS_ONE_PLAYER]);
    joy[0].button[0].b = 1;
    forget_menu_pad();
    std::vector<int> keys = {menu_pad_key()}; // held from before the wait
    joy[0].button[0].b = 0;
    keys.push_back(menu_pad_key());
    joy[0].stick[0].axis[1].d2 = 1;
    keys.push_back(menu_pad_key()), keys.push_back(menu_pad_key()); // then still held
    joy[0].button[0].b = 1;
    keys.push_back(menu_pad_key());
    EXPECT_EQ(keys, (std::vector<int>{0, 0, KEY_DOWN << 8, 0, KEY_ENTER << 8 | '\r'}));
    plug(0, 0, 0), plug(1, 0, 0), num_joysticks = 0;
}

} // namespace
