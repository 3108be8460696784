// The settings file through the input layer: bindings and pads become the records the game
// plays from, and every line the game cannot use is named in one warning and left at its default.
#include "screen_fixture.h"

#include <cstdio>
#include <cstring>
#include <fstream>

#include "screens/settings.h"

namespace {

Settings settings_from(const std::string& text, std::vector<std::string>& warnings)
{
    const std::string path = "/tmp/blockrise-settings-test.cfg";
    std::ofstream(path) << text;
    Settings settings = read_settings(path.c_str(), warnings);
    std::remove(path.c_str());
    return settings;
}

uint8_t held_by(const Settings& settings, int count, int player, std::initializer_list<int> keys)
{
    std::fill_n(key, KEY_MAX, 0);
    for (int k : keys)
        key[k] = 1;
    InputReader reader = make_input_reader(settings.controls);
    TickInputs inputs;
    read_inputs(reader, count, 1, inputs);
    std::fill_n(key, KEY_MAX, 0);
    return inputs[player].held;
}

constexpr uint8_t bit(Action a) { return action_bit(a); }

TEST(Settings, BindingsReplaceTheKeysOfTheirSetAndMissingEntriesKeepTheDefaults)
{
    std::vector<std::string> warnings;
    const Settings s = settings_from("[keys.player1]\nswap = Q  TAB\nup = I\n[keys.one_player]\nraise = SPACE\n"
                                     "[display]\nmode = window\nscale = auto\n[game]\nlow_power = yes\n"
                                     "[sound]\nmusic_volume = 0\neffects_volume = 255\n",
                                     warnings);
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    EXPECT_EQ(held_by(s, 2, 0, {KEY_TAB, KEY_I}), bit(ACTION_SWAP) | bit(ACTION_UP));
    EXPECT_EQ(held_by(s, 2, 0, {KEY_LSHIFT, KEY_W}), 0) << "the old keys no longer play";
    EXPECT_EQ(held_by(s, 2, 0, {KEY_A}), bit(ACTION_LEFT)) << "unbound actions keep their keys";
    EXPECT_EQ(held_by(s, 1, 0, {KEY_SPACE, KEY_RCONTROL}), bit(ACTION_RAISE));
    EXPECT_EQ(held_by(s, 2, 1, {KEY_SPACE}), 0) << "player 2 has keys of its own";
    EXPECT_EQ(s.display.mode, DisplayMode::window);
    EXPECT_EQ(s.display.scale, scale_to_fit);
    EXPECT_TRUE(s.low_power);
    EXPECT_EQ(s.music_volume, 0);
    EXPECT_EQ(s.effects_volume, 255);

    const Settings none = settings_from("", warnings);
    EXPECT_EQ(held_by(none, 1, 0, {KEY_RSHIFT}), bit(ACTION_SWAP));
    EXPECT_EQ(none.display.mode, DisplayMode::automatic);
    EXPECT_EQ(none.display.scale, 1);
    EXPECT_FALSE(none.low_power);
    EXPECT_EQ(none.music_volume, -1);
}

TEST(Settings, EachUnusableLineIsWarnedAboutOnceByNameAndKeepsItsDefault)
{
    const struct {
        const char* lines;
        const char* warning;
    } cases[] = {
        {"[keys.player2]\nswap = FOO", "[keys.player2] swap = FOO: no key is called FOO"},
        {"[keys.player2]\nswap = key_z", "no key is called key_z"},
        {"[keys.player1]\nraise = ESC", "[keys.player1] raise = ESC: ESC is kept for ending or pausing"},
        {"[keys.player1]\nup = P", "P is kept"},
        {"[keys.one_player]\nleft = A B C D E", "give one to four key names"},
        {"[keys.one_player]\njump = SPACE", "[keys.one_player] jump = SPACE: no such entry"},
        {"[keys.one_player]\npad = 9", "[keys.one_player] pad = 9: give none or a number"},
        {"[keys.one_player]\npad_move = 0", "give stick numbers from 1 to 8"},
        {"[keys.one_player]\npad_swap = 40", "give none or a number from 1 to 32"},
        {"[display]\nmode = sideways", "[display] mode = sideways: give one of auto|window|fullscreen"},
        {"[display]\nscale = 5", "[display] scale = 5: give one of auto|1|2|3|4"},
        {"[game]\nlow_power = maybe", "[game] low_power = maybe: give one of no|yes"},
        {"[sound]\nmusic_volume = 256", "[sound] music_volume = 256: give a number from 0 to 255"},
        {"[sound]\neffects_volume = -1", "give a number from 0 to 255"},
        {"[keys.player3]\nup = UP", "[keys.player3] up = UP: no such section"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        std::vector<std::string> warnings;
        const Settings s = settings_from(c.lines, warnings);
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_NE(warnings[0].find(c.warning), std::string::npos) << warnings[0];
        EXPECT_NE(warnings[0].find("keeping the default"), std::string::npos);
        EXPECT_EQ(held_by(s, 2, 1, {KEY_RSHIFT, KEY_UP}), bit(ACTION_SWAP) | bit(ACTION_UP));
        EXPECT_EQ(held_by(s, 2, 0, {KEY_LCONTROL}), bit(ACTION_RAISE));
        EXPECT_EQ(s.display.scale, 1);
        EXPECT_EQ(s.music_volume, -1);
    }
}

// The library's joystick state, filled as its driver would.
class Pads : public testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear()
    {
        std::memset(joy, 0, sizeof(JOYSTICK_INFO) * 2);
        num_joysticks = 0;
        std::fill_n(key, KEY_MAX, 0);
    }
    static void plug(int pad, int sticks, int buttons)
    {
        num_joysticks = std::max(num_joysticks, pad + 1);
        joy[pad].num_sticks = sticks;
        joy[pad].num_buttons = buttons;
        for (int s = 0; s < sticks; s++)
            joy[pad].stick[s].num_axis = 2;
    }
    static uint8_t held(int count, int player)
    {
        InputReader reader = make_input_reader();
        TickInputs inputs;
        read_inputs(reader, count, 1, inputs);
        return inputs[player].held;
    }
};

TEST_F(Pads, TheFirstPadPlaysOnePlayerAndPlayerOneTheSecondPlayerTwo)
{
    EXPECT_EQ(held(2, 0), 0) << "no pad, nothing held";
    plug(0, 4, 10);
    plug(1, 2, 10);
    joy[0].stick[0].axis[0].d1 = 1; // left stick left
    joy[0].stick[3].axis[1].d2 = 1; // d-pad down
    joy[0].button[0].b = 1;         // button 1: swap
    joy[1].stick[1].axis[1].d1 = 1; // a stick that does not move
    joy[1].button[1].b = 1;         // button 2: raise
    EXPECT_EQ(held(1, 0), bit(ACTION_LEFT) | bit(ACTION_DOWN) | bit(ACTION_SWAP));
    EXPECT_EQ(held(2, 0), bit(ACTION_LEFT) | bit(ACTION_DOWN) | bit(ACTION_SWAP));
    EXPECT_EQ(held(2, 1), bit(ACTION_RAISE));
    key[KEY_UP] = 1;
    EXPECT_EQ(held(2, 1), bit(ACTION_RAISE) | bit(ACTION_UP)) << "keys and pads together";
    EXPECT_FALSE(pad_pause_held(default_controls(), 2));
    joy[1].button[7].b = 1; // start
    EXPECT_TRUE(pad_pause_held(default_controls(), 2));
    EXPECT_FALSE(pad_pause_held(default_controls(), 1)) << "the second pad is not in a one-player game";
}

TEST_F(Pads, TheMenuPadMovesAndConfirmsOnNewPressesOnly)
{
    plug(0, 1, 4);
    set_menu_pad(default_controls().pads[CONTROLS_ONE_PLAYER]);
    joy[0].button[0].b = 1;
    forget_menu_pad();
    EXPECT_EQ(menu_pad_key(), 0) << "held from before the wait";
    joy[0].button[0].b = 0;
    EXPECT_EQ(menu_pad_key(), 0);
    joy[0].stick[0].axis[1].d2 = 1;
    EXPECT_EQ(menu_pad_key() >> 8, KEY_DOWN);
    EXPECT_EQ(menu_pad_key(), 0) << "still held";
    joy[0].button[0].b = 1;
    EXPECT_EQ(menu_pad_key() & 0xff, '\r');
}

} // namespace
