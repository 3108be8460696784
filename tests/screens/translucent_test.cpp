// draw_translucent against the library's own translucent sprites, pixel for pixel.
#include "screen_fixture.h"

#include <random>

#include "screens/translucent.h"

namespace {

// Random pixels, about one in eight of the mask colour whatever the drawing mode, drawn wholly
// inside a view, across each edge and corner of its clip, just outside it, and anywhere.
TEST(Translucent, GivesTheLibrarysPixelsAtEveryLevelAndPositionClippedOrNotAndLeavesItsBlender)
{
    std::mt19937 random(11);
    const Bitmap sprite(create_bitmap(32, 32)), under(create_bitmap(96, 80)), once(create_bitmap(96, 80));
    const Bitmap ours(create_bitmap(96, 80)), theirs(create_bitmap(96, 80));
    const Bitmap our_view(create_sub_bitmap(ours.get(), 16, 12, 60, 50));
    const Bitmap their_view(create_sub_bitmap(theirs.get(), 16, 12, 60, 50));
    for (int level = 0; level < 256; level++) {
        for (BITMAP* b : {sprite.get(), under.get()})
            for (int y = 0; y < b->h; y++)
                for (int x = 0; x < b->w; x++)
                    _putpixel16(b, x, y, random() % 8 ? static_cast<int>(random() & 0xFFFF) : MASK_COLOR_16);
        for (BITMAP* view : {our_view.get(), their_view.get()}) // now and then a clip inside the view
            level % 3 ? set_clip_rect(view, 0, 0, 59, 49) : set_clip_rect(view, 5, 7, 40, 30);
        std::vector<std::pair<int, int>> places = {{10, 8},  {-31, -31}, {59, 49}, {-5, 20}, {40, 20},
                                                   {20, -9}, {20, 30},   {-32, 0}, {60, 0}};
        for (int i = 0; i < 4; i++)
            places.emplace_back(static_cast<int>(random() % 110) - 40, static_cast<int>(random() % 100) - 40);
        for (auto [x, y] : places) {
            blit(under.get(), ours.get(), 0, 0, 0, 0, 96, 80);
            blit(under.get(), theirs.get(), 0, 0, 0, 0, 96, 80);
            set_trans_blender(0, 0, 0, 255 - level);
            draw_translucent(our_view.get(), sprite.get(), x, y, level);
            blit(ours.get(), once.get(), 0, 0, 0, 0, 96, 80);
            draw_trans_sprite(our_view.get(), sprite.get(), 7, 5); // with the blender draw_translucent left
            set_trans_blender(0, 0, 0, level);
            draw_trans_sprite(their_view.get(), sprite.get(), x, y);
            ASSERT_TRUE(same_pixels(once.get(), theirs.get())) << "level " << level << " at " << x << "," << y;
            draw_trans_sprite(their_view.get(), sprite.get(), 7, 5);
            ASSERT_TRUE(same_pixels(ours.get(), theirs.get())) << "blender left after level " << level;
        }
    }
}

} // namespace
