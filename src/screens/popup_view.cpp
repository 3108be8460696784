// Cutting the popup pictures at start-up, and drawing the live popups.
#include "screens/popup_view.h"

#include "app/assets.h"
#include "game/popups.h"
#include "game/rules.h"
#include "screens/layout.h"

void make_popup_images()
{
    BITMAP* strip = asset_bitmap(Asset::popup_strip);
    for (int i = 0; i < popup_image_count; i++) {
        popup_images[i] = create_bitmap(cell_size, cell_size);
        if (popup_images[i])
            blit(strip, popup_images[i], cell_size * i, 0, 0, 0, cell_size, cell_size);
    }
    popup_list.clear();
}

void draw_popups(BITMAP* frame_buffer)
{
    for (const Popup& popup : popup_list)
        if (popup.y > well_top && popup.image)
            draw_sprite(frame_buffer, popup.image, popup.x, popup.y);
}
