// The logo shown over the starfield: the name on a rising stair of blocks.
#include "pictures.h"

#include "blocks.h"
#include "shapes.h"

#include <string>

namespace {

const char* const name = "BLOCKRISE";
constexpr int letters = 9;
constexpr float block_size = 58, block_gap = 6;
constexpr float first_block_y = 168, rise_per_block = 5; // each letter a little higher
constexpr int letter_size = 44;
constexpr float letter_outline = 2.5f;
constexpr int motto_y = 262, motto_size = 20;
constexpr int prompt_y = 408, prompt_size = 18;
const Rgb outline_colour = rgb8(24, 12, 36);
constexpr int motto_gap = 40; // room for the diamond between words

} // namespace

void draw_motto(Canvas& c, const Faces& faces, int motto_y, int motto_size)
{
    const char* const words[3] = {"SWAP", "MATCH", "CHAIN"};
    TextImage imgs[3];
    int total = 0;
    for (int i = 0; i < 3; i++) {
        imgs[i] = render_text(faces.bold, words[i], motto_size, 3, false, 2);
        total += imgs[i].w;
    }
    total += 2 * motto_gap;
    int x = screen_w / 2 - total / 2;
    const Paint cyan = [motto_y](float, float y) { return mix(rgb8(200, 245, 255), rgb8(90, 190, 255), (y - motto_y + 10) / 20.0f); };
    for (int i = 0; i < 3; i++) {
        draw_outlined_text(c, imgs[i], 2.0f, x + imgs[i].w / 2, motto_y, cyan, outline_colour);
        x += imgs[i].w;
        if (i < 2) {
            const float cx = x + motto_gap / 2.0f, cy = motto_y + 1.0f;
            Shape dot = polygon({{cx, cy - 6}, {cx + 6, cy}, {cx, cy + 6}, {cx - 6, cy}});
            fill_shape(c, grown(dot, 2), solid(outline_colour));
            fill_shape(c, dot, solid(block_colour(i == 0 ? 4 : 1)));
            x += motto_gap;
        }
    }
}

Canvas make_logo(const Faces& faces)
{
    Canvas c = make_canvas(screen_w, screen_h);
    const float row = letters * block_size + (letters - 1) * block_gap;
    const float x0 = (screen_w - row) / 2;
    for (int i = 0; i < letters; i++) {
        const float x = x0 + i * (block_size + block_gap);
        const float y = first_block_y - i * rise_per_block;
        // Black rim so the blocks stand apart from passing stars.
        fill_shape(c, rounded_box(x - 3, y - 3, block_size + 6, block_size + 6, 12), solid(outline_colour));
        draw_block(c, x, y, block_size, i % 5 + 1, false);
        TextImage letter = render_text(faces.bold, std::string(1, name[i]), letter_size, 4, false);
        draw_outlined_text(c, letter, letter_outline, static_cast<int>(x + block_size / 2),
                           static_cast<int>(y + block_size / 2), solid(white), outline_colour);
    }
    draw_motto(c, faces, motto_y, motto_size);
    TextImage prompt = render_text(faces.bold, "PRESS ANY KEY", prompt_size, 3, false, 3);
    draw_outlined_text(c, prompt, 2.0f, screen_w / 2, prompt_y, solid(rgb8(230, 230, 240)), outline_colour);
    return c;
}
