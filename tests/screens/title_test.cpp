// The title menu: keys and selection, the menu as drawn, quitting, and images that
// cannot be made.
#include "screen_fixture.h"

#include <vector>

#include "app/colors.h"
#include "screens/title.h"

namespace {

TEST(MenuKeys, DigitsAndEscapeActWhateverTheSelection)
{
    for (int8_t line = 1; line <= 3; line++) {
        EXPECT_EQ(menu_step(line, KEY_1).action, MenuAction::one_player) << int(line);
        EXPECT_EQ(menu_step(line, KEY_2).action, MenuAction::two_players) << int(line);
        EXPECT_EQ(menu_step(line, KEY_ESC).action, MenuAction::quit) << int(line);
    }
}

TEST(MenuKeys, EnterActsOnTheSelection)
{
    EXPECT_EQ(menu_step(1, KEY_ENTER).action, MenuAction::one_player);
    EXPECT_EQ(menu_step(2, KEY_ENTER).action, MenuAction::two_players);
    EXPECT_EQ(menu_step(3, KEY_ENTER).action, MenuAction::quit);
}

TEST(MenuKeys, UpAndDownMoveRoundWithWrapping)
{
    int8_t line = 2;
    std::vector<int> seen;
    for (int i = 0; i < 4; i++) {
        const MenuStep step = menu_step(line, KEY_UP);
        EXPECT_EQ(step.action, MenuAction::none);
        line = step.selection;
        seen.push_back(line);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 3, 2, 1}));
    seen.clear();
    for (int i = 0; i < 4; i++) {
        line = menu_step(line, KEY_DOWN).selection;
        seen.push_back(line);
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 3, 1, 2}));
}

TEST(MenuKeys, OtherKeysIncludingTheKeypadChangeNothing)
{
    for (int8_t line = 1; line <= 3; line++)
        for (int code : std::initializer_list<int>{KEY_1_PAD, KEY_2_PAD, KEY_ENTER_PAD, KEY_3, KEY_SPACE, KEY_LEFT,
                                         KEY_RIGHT, KEY_8_PAD, KEY_A, 0}) {
            const MenuStep step = menu_step(line, code);
            EXPECT_EQ(step.action, MenuAction::none) << code;
            EXPECT_EQ(step.selection, line) << code;
        }
}

std::vector<BITMAP*> live;
int refuse_at = 0; // the n-th image asked for is refused (0: none)
int asked = 0;

BITMAP* refusing_create(int w, int h)
{
    if (++asked == refuse_at)
        return nullptr;
    BITMAP* image = create_bitmap(w, h);
    live.push_back(image);
    return image;
}

void tracked_destroy(BITMAP* image)
{
    for (size_t i = 0; i < live.size(); i++)
        if (live[i] == image)
            live.erase(live.begin() + static_cast<long>(i));
    destroy_bitmap(image);
}

std::vector<Asset> sounds;
void record_sound(Asset a) { sounds.push_back(a); }
void no_retrace() {}

std::vector<int> script; // keys handed out by read_fresh_key, one per call, then Escape
size_t next_key = 0;
int scripted_key()
{
    return next_key < script.size() ? script[next_key++] : KEY_ESC << 8 | 27;
}

bool run_menu_with_keys(const Output& out, std::vector<int> scancodes)
{
    script.clear();
    next_key = 0;
    for (int code : scancodes)
        script.push_back(code << 8);
    return run_title_on(out);
}

class TitleMenu : public ScreenTest {
protected:
    BITMAP* display = nullptr;

    void SetUp() override
    {
        ScreenTest::SetUp();
        live.clear();
        sounds.clear();
        asked = 0;
        refuse_at = 0;
        create_screen_image = refusing_create;
        destroy_screen_image = tracked_destroy;
        display = create_bitmap(640, 480);
        clear_bitmap(display);
        clear_keybuf();
    }

    void TearDown() override
    {
        create_screen_image = create_bitmap;
        destroy_screen_image = destroy_bitmap;
        destroy_bitmap(display);
        clear_keybuf();
        ScreenTest::TearDown();
    }

    Output output() { return Output{display, no_retrace, record_sound, scripted_key}; }
};

TEST_F(TitleMenu, EachRefusedImageFreesTheOthersAndEndsTheMenu)
{
    for (int refused = 1; refused <= 3; refused++) {
        asked = 0;
        refuse_at = refused;
        GameImages images{};
        EXPECT_FALSE(make_game_images(images)) << refused;
        EXPECT_EQ(images.frame_buffer, nullptr);
        EXPECT_EQ(images.game_background, nullptr);
        EXPECT_EQ(images.title_image, nullptr);
        EXPECT_TRUE(live.empty()) << refused;

        asked = 0;
        EXPECT_FALSE(run_title_on(output())) << refused;
        EXPECT_TRUE(live.empty()) << refused;
    }
    EXPECT_TRUE(sounds.empty()); // the menu never came up
}

TEST_F(TitleMenu, ImagesAreMadeInOrderAtScreenSize)
{
    GameImages images{};
    ASSERT_TRUE(make_game_images(images));
    ASSERT_EQ(live.size(), 3u);
    EXPECT_EQ(live[0], images.frame_buffer);
    EXPECT_EQ(live[1], images.game_background);
    EXPECT_EQ(live[2], images.title_image);
    EXPECT_EQ(images.frame_buffer->w, 640);
    EXPECT_EQ(images.title_image->h, 480);
    free_game_images(images);
    EXPECT_TRUE(live.empty());
}

TEST_F(TitleMenu, EscapeQuitsShowingLineTwoHighlightedAndFreesTheImages)
{
    EXPECT_FALSE(run_menu_with_keys(output(), {KEY_ESC}));
    EXPECT_TRUE(live.empty());
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0], Asset::title_sound);

    // The three lines in the built-in font: the second highlighted, the others white.
    auto colours_in_line = [&](int y, int color) {
        int n = 0;
        for (int row = y; row < y + 8; row++)
            for (int x = 60; x < 60 + 8 * 19; x++)
                n += getpixel(display, x, row) == color;
        return n;
    };
    EXPECT_GT(colours_in_line(350, color_white), 0);
    EXPECT_EQ(colours_in_line(350, color_highlight), 0);
    EXPECT_GT(colours_in_line(366, color_highlight), 0);
    EXPECT_EQ(colours_in_line(366, color_white), 0);
    EXPECT_GT(colours_in_line(382, color_white), 0);
    // Behind the text lies the stretched title picture.
    const int title = getpixel(asset_bitmap(Asset::title_picture), 0, 0);
    EXPECT_EQ(getpixel(display, 0, 0), title);
    EXPECT_EQ(getpixel(display, 639, 479), title);
    EXPECT_EQ(getpixel(display, 59, 350), title);
}

} // namespace

namespace {

// Which line is drawn in the highlight colour after the menu has seen `keys` and quit.
TEST_F(TitleMenu, HighlightFollowsUpAndDownAndEnterOnLineThreeQuits)
{
    EXPECT_FALSE(run_menu_with_keys(output(), {KEY_UP, KEY_UP, KEY_ENTER}));
    EXPECT_EQ(next_key, 3u);
    EXPECT_TRUE(live.empty());
    auto highlighted = [&](int y) {
        for (int row = y; row < y + 8; row++)
            for (int x = 60; x < 60 + 8 * 19; x++)
                if (getpixel(display, x, row) == color_highlight)
                    return true;
        return false;
    };
    EXPECT_FALSE(highlighted(350));
    EXPECT_FALSE(highlighted(366));
    EXPECT_TRUE(highlighted(382));
}

TEST_F(TitleMenu, KeypadKeysAreIgnoredUntilAMenuKeyComes)
{
    EXPECT_FALSE(run_menu_with_keys(output(), {KEY_1_PAD, KEY_2_PAD, KEY_ENTER_PAD, KEY_ESC}));
    EXPECT_EQ(next_key, 4u);
    EXPECT_TRUE(live.empty());
}

} // namespace
