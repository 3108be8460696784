// The title menu: what each key does, the menu as drawn, quitting, and images that
// cannot be made.
#include "screen_fixture.h"

#include <algorithm>
#include <vector>

#include "app/colors.h"
#include "screens/title.h"

namespace {

TEST(MenuKeys, DigitsEscapeAndEnterAct)
{
    for (int8_t line = 1; line <= 3; line++) {
        EXPECT_EQ(menu_step(line, KEY_1).action, MenuAction::one_player);
        EXPECT_EQ(menu_step(line, KEY_2).action, MenuAction::two_players);
        EXPECT_EQ(menu_step(line, KEY_ESC).action, MenuAction::quit);
    }
    EXPECT_EQ(menu_step(1, KEY_ENTER).action, MenuAction::one_player);
    EXPECT_EQ(menu_step(2, KEY_ENTER).action, MenuAction::two_players);
    EXPECT_EQ(menu_step(3, KEY_ENTER).action, MenuAction::quit);
}

TEST(MenuKeys, UpAndDownWrapRoundAndOtherKeysChangeNothing)
{
    int8_t line = 2;
    std::vector<int> seen;
    for (int code : {KEY_UP, KEY_UP, KEY_UP, KEY_DOWN, KEY_DOWN}) {
        const MenuStep step = menu_step(line, code);
        EXPECT_EQ(step.action, MenuAction::none);
        seen.push_back(line = step.selection);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 3, 2, 3, 1}));
    for (int8_t l = 1; l <= 3; l++)
        for (int code : std::vector<int>{KEY_1_PAD, KEY_2_PAD, KEY_ENTER_PAD, KEY_3, KEY_SPACE, KEY_LEFT, 0}) {
            const MenuStep step = menu_step(l, code);
            EXPECT_EQ(step.action, MenuAction::none) << code;
            EXPECT_EQ(step.selection, l) << code;
        }
}

std::vector<BITMAP*> live;
int refuse_at = 0, asked = 0; // the refuse_at-th image asked for is refused
BITMAP* refusing_create(int w, int h)
{
    if (++asked == refuse_at)
        return nullptr;
    live.push_back(create_bitmap(w, h));
    return live.back();
}
void tracked_destroy(BITMAP* image)
{
    live.erase(std::remove(live.begin(), live.end(), image), live.end());
    destroy_bitmap(image);
}

std::vector<Asset> sounds;
void record_sound(Asset a) { sounds.push_back(a); }
void no_retrace() {}
std::vector<int> script; // scancodes handed out one per read, then Escape
size_t keys_read = 0;
int scripted_key() { return (keys_read < script.size() ? script[keys_read++] : KEY_ESC) << 8; }

class TitleMenu : public ScreenTest {
protected:
    BITMAP* display = nullptr;

    void SetUp() override
    {
        ScreenTest::SetUp();
        live.clear();
        sounds.clear();
        asked = refuse_at = 0;
        keys_read = 0;
        create_screen_image = refusing_create;
        destroy_screen_image = tracked_destroy;
        display = create_bitmap(640, 480);
        clear_bitmap(display);
    }
    void TearDown() override
    {
        create_screen_image = create_bitmap;
        destroy_screen_image = destroy_bitmap;
        destroy_bitmap(display);
        ScreenTest::TearDown();
    }
    bool run_with_keys(std::vector<int> scancodes)
    {
        script = std::move(scancodes);
        return run_title_on(Output{display, no_retrace, record_sound, scripted_key});
    }
    bool highlighted(int line_y)
    {
        for (int y = line_y; y < line_y + 8; y++)
            for (int x = 60; x < 60 + 8 * 19; x++)
                if (getpixel(display, x, y) == color_highlight)
                    return true;
        return false;
    }
};

TEST_F(TitleMenu, EachRefusedImageFreesTheOthersAndEndsTheMenu)
{
    for (refuse_at = 1; refuse_at <= 3; refuse_at++) {
        asked = 0;
        GameImages images{};
        EXPECT_FALSE(make_game_images(images)) << refuse_at;
        EXPECT_EQ(images.frame_buffer, nullptr);
        EXPECT_EQ(images.title_image, nullptr);
        EXPECT_TRUE(live.empty()) << refuse_at;
        asked = 0;
        EXPECT_FALSE(run_with_keys({KEY_1})) << refuse_at;
        EXPECT_TRUE(live.empty()) << refuse_at;
    }
    EXPECT_TRUE(sounds.empty()); // the menu never came up
    EXPECT_EQ(keys_read, 0u);
}

TEST_F(TitleMenu, EscapeQuitsFromLineTwoOverTheTitlePicture)
{
    EXPECT_FALSE(run_with_keys({KEY_ESC}));
    EXPECT_TRUE(live.empty());
    EXPECT_EQ(sounds, std::vector<Asset>{Asset::title_sound});
    EXPECT_FALSE(highlighted(350));
    EXPECT_TRUE(highlighted(366));
    EXPECT_FALSE(highlighted(382));
    const int title = getpixel(asset_bitmap(Asset::title_picture), 0, 0);
    EXPECT_EQ(getpixel(display, 639, 479), title);
    EXPECT_EQ(getpixel(display, 59, 350), title);
}

TEST_F(TitleMenu, EnterOnLineThreeQuitsAfterUpUpAndKeypadKeysAreIgnored)
{
    EXPECT_FALSE(run_with_keys({KEY_ENTER_PAD, KEY_UP, KEY_1_PAD, KEY_UP, KEY_ENTER}));
    EXPECT_EQ(keys_read, 5u);
    EXPECT_TRUE(live.empty());
    EXPECT_TRUE(highlighted(382));
    EXPECT_FALSE(highlighted(366));
}

} // namespace
