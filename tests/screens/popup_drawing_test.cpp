// Cutting the popup pictures and drawing the live popups.
#include "screen_fixture.h"

#include "game/popups.h"
#include "screens/popup_view.h"

namespace {

class PopupDrawing : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        make_popup_images();
    }

    void TearDown() override
    {
        popup_list.clear();
        for (BITMAP*& image : popup_images) {
            destroy_bitmap(image);
            image = nullptr;
        }
        ScreenTest::TearDown();
    }

    static void add(int image, int16_t y, int16_t x)
    {
        popup_list.push_front(Popup{popup_images[image], y, x, -1, 0, 32});
    }
};

TEST_F(PopupDrawing, ImagesAreTheStripsSquaresInOrder)
{
    BITMAP* strip = asset_bitmap(Asset::popup_strip);
    for (int i = 0; i < popup_image_count; i++) {
        ASSERT_NE(popup_images[i], nullptr);
        EXPECT_EQ(popup_images[i]->w, 32);
        EXPECT_EQ(popup_images[i]->h, 32);
        EXPECT_EQ(getpixel(popup_images[i], 0, 0), getpixel(strip, 32 * i, 0)) << i;
        EXPECT_EQ(getpixel(popup_images[i], 31, 31), getpixel(strip, 32 * i + 31, 31)) << i;
    }
    EXPECT_NE(getpixel(popup_images[0], 5, 5), getpixel(popup_images[11], 5, 5));
    EXPECT_TRUE(popup_list.empty());
}

TEST_F(PopupDrawing, OnlyPopupsBelowTheWellsTopEdgeAreDrawn)
{
    add(2, 49, 100);
    add(3, 48, 300);
    draw_popups(frame);
    EXPECT_EQ(getpixel(frame, 100, 49), getpixel(popup_images[2], 0, 0));
    EXPECT_EQ(getpixel(frame, 131, 80), getpixel(popup_images[2], 31, 31));
    EXPECT_EQ(getpixel(frame, 99, 60), 0);
    for (int y = 40; y < 90; y++)
        EXPECT_EQ(getpixel(frame, 310, y), 0) << y;
    // The skipped popup stays alive.
    EXPECT_EQ(std::distance(popup_list.begin(), popup_list.end()), 2);
}

TEST_F(PopupDrawing, OlderPopupsLieOnTop)
{
    add(4, 200, 100); // older
    add(7, 210, 110); // newer, at the head of the list
    draw_popups(frame);
    EXPECT_EQ(getpixel(frame, 120, 220), getpixel(popup_images[4], 0, 0));
    EXPECT_EQ(getpixel(frame, 140, 240), getpixel(popup_images[7], 0, 0));
}

TEST_F(PopupDrawing, MaskColourIsLeftOut)
{
    rectfill(popup_images[5], 0, 0, 15, 31, bitmap_mask_color(popup_images[5]));
    clear_to_color(frame, makecol(0, 0, 200));
    add(5, 100, 100);
    draw_popups(frame);
    EXPECT_EQ(getpixel(frame, 105, 110), makecol(0, 0, 200));
    EXPECT_EQ(getpixel(frame, 120, 110), getpixel(popup_images[5], 20, 10));
}

} // namespace
