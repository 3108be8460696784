// Translucent sprites as the library blends them, done in one pass for 16-bit bitmaps.
#include "screens/translucent.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr uint32_t spread_mask_16 = 0x7E0F81F; // 5-6-5 channels spread apart with gaps
constexpr int level_to_factor_shift = 3;       // levels 0-255 become factors 0-32
constexpr int factor_shift = 5;

// The library's 16-bit translucency blender, term for term. It works in unsigned long; its
// result's low 27 bits depend only on the low 32 bits of each step, so 32 bits give them exactly.
inline uint16_t blend16(uint32_t src, uint32_t dst, uint32_t factor)
{
    const uint32_t x = (src | (src << 16)) & spread_mask_16;
    const uint32_t y = (dst | (dst << 16)) & spread_mask_16;
    const uint32_t r = ((((x - y) * factor) >> factor_shift) + y) & spread_mask_16;
    return static_cast<uint16_t>((r & 0xFFFF) | (r >> 16));
}

// One row; branch-free, so the compiler can blend many pixels at once. The AVX2 clone is
// picked at load time on machines that have it; the results are the same bit for bit.
__attribute__((target_clones("avx2", "default")))
void blend_row(const uint16_t* src, uint16_t* dst, int count, uint32_t factor, uint16_t mask)
{
    for (int i = 0; i < count; i++) {
        const uint16_t blended = blend16(src[i], dst[i], factor);
        dst[i] = src[i] == mask ? dst[i] : blended;
    }
}

} // namespace

void draw_translucent(BITMAP* dst, BITMAP* sprite, int x, int y, int level)
{
    set_trans_blender(0, 0, 0, level);
    if (bitmap_color_depth(dst) != 16 || bitmap_color_depth(sprite) != 16 || !is_memory_bitmap(dst) ||
        !is_memory_bitmap(sprite) || !dst->clip) {
        draw_trans_sprite(dst, sprite, x, y);
        return;
    }
    const int left = std::max(x, dst->cl), right = std::min(x + sprite->w, dst->cr);
    const int top = std::max(y, dst->ct), bottom = std::min(y + sprite->h, dst->cb);
    if (left >= right || top >= bottom)
        return;
    const uint32_t factor = level ? static_cast<uint32_t>(level + 1) >> level_to_factor_shift : 0;
    const uint16_t mask = static_cast<uint16_t>(bitmap_mask_color(sprite));
    for (int row = top; row < bottom; row++) {
        const uint16_t* s = reinterpret_cast<const uint16_t*>(sprite->line[row - y]) + (left - x);
        uint16_t* d = reinterpret_cast<uint16_t*>(dst->line[row]) + left;
        blend_row(s, d, right - left, factor, mask);
    }
}
