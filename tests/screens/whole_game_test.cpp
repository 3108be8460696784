// A whole visit to the menu headless: a game chosen, played against a running clock,
// ended, offered to the high-score screens and released.
#include "screen_fixture.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "game/popups.h"
#include "screens/title.h"

namespace {

std::vector<Asset> sounds;
void record_sound(Asset a) { sounds.push_back(a); }
void no_retrace() {}

int menu_key = 0;
int keys_read = 0;
// The first key picks the game; every later one (name entry, table) is Enter.
int scripted_key()
{
    return keys_read++ == 0 ? menu_key << 8 : (KEY_ENTER << 8 | '\r');
}

int live_images = 0;
BITMAP* counted_create(int w, int h)
{
    live_images++;
    return create_bitmap(w, h);
}
void counted_destroy(BITMAP* image)
{
    live_images -= image != nullptr;
    destroy_bitmap(image);
}

// Stands in for the timer: ticks every 20 microseconds; holds Escape after `escape_after`.
class RunningClock {
public:
    explicit RunningClock(uint32_t escape_after)
        : thread_([this, escape_after] {
              uint32_t ticks = 0;
              while (!stop_) {
                  tick_count++;
                  if (++ticks == escape_after)
                      key[KEY_ESC] = 1;
                  std::this_thread::sleep_for(std::chrono::microseconds(20));
              }
          })
    {
    }
    ~RunningClock()
    {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class WholeGame : public ScreenTest {
protected:
    BITMAP* display = nullptr;

    void SetUp() override
    {
        ScreenTest::SetUp();
        sounds.clear();
        keys_read = 0;
        live_images = 0;
        create_screen_image = counted_create;
        destroy_screen_image = counted_destroy;
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

    bool play(int key_code, uint32_t escape_after)
    {
        menu_key = key_code;
        RunningClock clock(escape_after);
        return run_title_on(Output{display, no_retrace, record_sound, scripted_key});
    }
};

TEST_F(WholeGame, EscapeStillLeadsThroughOverlayPauseAndScores)
{
    // (The headless library's rest() does not wait, so the pause is left to the real binary.)
    EXPECT_TRUE(play(KEY_2, 200));
    EXPECT_GT(time_left, 0);
    EXPECT_GE(keys_read, 2); // the menu's key, then at least the table's
    EXPECT_EQ(live_images, 0);
    EXPECT_EQ(players, nullptr);
    EXPECT_TRUE(popup_list.empty());
    ASSERT_GE(sounds.size(), 2u);
    EXPECT_EQ(sounds[0], Asset::title_sound);
    EXPECT_EQ(sounds[1], Asset::start_sound);
    // The screens put back the last picture: the game-over overlay over two wells.
    const Rgb well = rgb_at(display, 64 + 100, 48 + 10);
    const Rgb outside = rgb_at(display, 300, 301); // an odd row: no scan-line
    EXPECT_LT(well.r + well.g + well.b, 60);
    EXPECT_GT(outside.r + outside.g + outside.b, 60);
}

TEST_F(WholeGame, GameRunsItsFullTwoMinutesOfTicks)
{
    EXPECT_TRUE(play(KEY_1, 0));
    EXPECT_EQ(time_left, 0);
    EXPECT_EQ(live_images, 0);
    const std::vector<Asset> want = {Asset::title_sound, Asset::start_sound,
                                     Asset::warning_sound, Asset::last_moment_sound};
    EXPECT_EQ(sounds, want);
}

} // namespace
