// Keys into input records: several keys for one action, the default controls, the echo filter.
#include "screen_fixture.h"

#include <iterator>

#include "screens/input.h"

namespace {

TEST(InputFromKeys, AnyOfAnActionsKeysHoldsItAndEachActionAddsItsOwnBit)
{
    const ControlKeys set{{{KEY_W, KEY_8_PAD}, {}, {}, {}, {KEY_Z, KEY_X, KEY_C, KEY_SPACE}, {KEY_R}}};
    const uint8_t swap = action_bit(ACTION_SWAP), up = action_bit(ACTION_UP), raise = action_bit(ACTION_RAISE);
    const struct { std::vector<int> held; uint8_t want; } rows[] = {
        {{}, 0},          {{KEY_Z}, swap},    {{KEY_SPACE}, swap},       {{KEY_C, KEY_X}, swap}, {{KEY_8_PAD}, up},
        {{KEY_W, KEY_8_PAD}, up}, {{KEY_W, KEY_R, KEY_X}, uint8_t(up | swap | raise)}, {{KEY_Q, KEY_UP}, 0}};
    for (size_t i = 0; i < std::size(rows); i++) {
        char held[KEY_MAX] = {};
        for (int code : rows[i].held)
            held[code] = 1;
        EXPECT_EQ(input_from_keys(set, held).held, rows[i].want) << "row " << i;
    }
}

using DefaultControls = ScreenTest;

TEST_F(DefaultControls, ArrowsAndRightModifiersForOneOrTheSecondPlayerWasdAndLeftOnesForTheFirst)
{
    const struct { Action action; int right_hand, left_hand; } rows[] = {
        {ACTION_UP, KEY_UP, KEY_W},           {ACTION_DOWN, KEY_DOWN, KEY_S},
        {ACTION_LEFT, KEY_LEFT, KEY_A},       {ACTION_RIGHT, KEY_RIGHT, KEY_D},
        {ACTION_SWAP, KEY_RSHIFT, KEY_LSHIFT}, {ACTION_RAISE, KEY_RCONTROL, KEY_LCONTROL}};
    for (int count : {1, 2})
        for (const auto& row : rows)
            for (int code : {row.right_hand, row.left_hand}) {
                InputReader reader = make_input_reader();
                TickInputs inputs;
                key[code] = 1;
                read_inputs(reader, count, 1, inputs);
                key[code] = 0;
                // Whose record shows the action: one player's right hand, or either hand's player.
                const int player = count == 1 ? (code == row.right_hand ? 0 : -1) : code == row.right_hand;
                for (int i : {0, 1})
                    EXPECT_EQ(inputs[i].held, i == player ? action_bit(row.action) : 0)
                        << count << " players, key " << code << ", player " << i + 1;
            }
}

constexpr int keep = -1; // a key left as the last poll left it
struct Poll {
    uint32_t after;  // ticks since the previous poll
    int left, right; // set before the poll: 1 down, 0 up, or keep
    int left_seen;   // what the left key counts as
};

const std::vector<Poll> scenarios[] = {
    {{0, 1, 1, 0}, {5, keep, keep, 0}},                                // with the right press: hidden
    {{0, keep, 1, 0}, {1, 1, keep, 0}},                                // a tick late: hidden too
    {{0, keep, 1, 0}, {2, 1, keep, 1}},                                // two ticks late: counts
    {{0, keep, 1, 0}, {30, 1, keep, 1}},                               // while the right is held: counts
    {{0, 1, keep, 1}, {1, keep, 1, 1}},                                // alone it counts, and stays so
    {{0, 1, 1, 0}, {3, keep, 0, 0}, {3, 0, keep, 0}, {3, 1, keep, 1}}, // hidden until released
    {{0, keep, 1, 0}, {40, keep, 0, 0}, {1, 1, 1, 0}},                 // each right press starts a window
};

using ModifierEcho = ScreenTest;

TEST_F(ModifierEcho, LeftKeyCountsAsUpOnlyWhenItGoesDownWithinATickOfItsRightTwin)
{
    // Player 1 has the left keys, player 2 the right ones.
    for (auto [left, right, action] : {std::tuple{KEY_LSHIFT, KEY_RSHIFT, ACTION_SWAP},
                                       {KEY_LCONTROL, KEY_RCONTROL, ACTION_RAISE}})
        for (size_t s = 0; s < std::size(scenarios); s++) {
            InputReader reader = make_input_reader();
            uint32_t now = 100;
            for (size_t i = 0; i < scenarios[s].size(); i++) {
                const Poll& poll = scenarios[s][i];
                now += poll.after;
                if (poll.left != keep)
                    key[left] = static_cast<char>(poll.left);
                if (poll.right != keep)
                    key[right] = static_cast<char>(poll.right);
                TickInputs inputs;
                read_inputs(reader, 2, now, inputs);
                SCOPED_TRACE(testing::Message() << "key " << left << ", scenario " << s << ", poll " << i);
                EXPECT_EQ(is_held(inputs[0], action), poll.left_seen == 1);
                EXPECT_EQ(is_held(inputs[1], action), key[right] != 0);
            }
            key[left] = key[right] = 0;
        }
}

} // namespace
