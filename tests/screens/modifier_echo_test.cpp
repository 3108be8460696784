// The right Shift/Control echo on the left key: hidden when it comes with the right press,
// kept when the left key is pressed on its own.
#include <allegro.h>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

#include "screens/modifier_echo.h"

namespace {

constexpr int keep = -1; // a key left as the last poll left it
struct Poll {
    uint32_t after;  // ticks since the previous poll
    int left, right; // set before the poll: 1 down, 0 up, or keep
    int left_seen;   // the left key after the poll
};

const std::vector<Poll> scenarios[] = {
    {{0, 1, 1, 0}, {5, keep, keep, 0}},               // with the right press: hidden, and stays so
    {{0, keep, 1, 0}, {1, 1, keep, 0}},               // an echo a tick late is hidden too
    {{0, keep, 1, 0}, {30, 1, keep, 1}},              // pressed while the right is held: counts
    {{0, 1, keep, 1}, {10, keep, 1, 1}},              // alone it counts, and the right then too
    {{0, 1, 1, 0}, {3, keep, 0, 0}, {3, 1, keep, 1}}, // pressed after the echo was released: counts
};

TEST(ModifierEcho, LeftKeyIsHiddenOnlyWhenItGoesDownWithinATickOfTheRight)
{
    for (auto [left, right] : {std::pair{KEY_LSHIFT, KEY_RSHIFT}, {KEY_LCONTROL, KEY_RCONTROL}})
        for (size_t s = 0; s < std::size(scenarios); s++) {
            reset_modifier_echo();
            char keys[KEY_MAX] = {};
            uint32_t now = 100;
            for (size_t i = 0; i < scenarios[s].size(); i++) {
                const Poll& poll = scenarios[s][i];
                now += poll.after;
                if (poll.left != keep)
                    keys[left] = static_cast<char>(poll.left);
                if (poll.right != keep)
                    keys[right] = static_cast<char>(poll.right);
                const char right_before = keys[right];
                hide_modifier_echo(keys, now);
                SCOPED_TRACE(testing::Message() << "key " << left << ", scenario " << s << ", poll " << i);
                EXPECT_EQ(keys[left], poll.left_seen);
                EXPECT_EQ(keys[right], right_before);
            }
        }
}

} // namespace
