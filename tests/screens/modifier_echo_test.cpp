// The right Shift/Control echo on the left key: hidden when it comes with the right press,
// kept when the left key is pressed on its own.
#include <allegro.h>
#include <gtest/gtest.h>

#include "screens/modifier_echo.h"

namespace {

struct ModifierEcho : testing::Test {
    char keys[KEY_MAX] = {};
    uint32_t now = 100;
    void SetUp() override { reset_modifier_echo(); }
    void poll() { hide_modifier_echo(keys, now); }
};

TEST_F(ModifierEcho, LeftKeyAppearingWithTheRightIsHidden)
{
    keys[KEY_RSHIFT] = keys[KEY_LSHIFT] = 1;
    poll();
    EXPECT_EQ(keys[KEY_LSHIFT], 0);
    EXPECT_EQ(keys[KEY_RSHIFT], 1);
    now += 5;
    poll(); // stays hidden: the driver does not press it again
    EXPECT_EQ(keys[KEY_LSHIFT], 0);
}

TEST_F(ModifierEcho, EchoArrivingOnTheNextPollIsHiddenToo)
{
    keys[KEY_RCONTROL] = 1;
    poll();
    keys[KEY_LCONTROL] = 1;
    now += 1;
    poll();
    EXPECT_EQ(keys[KEY_LCONTROL], 0);
}

TEST_F(ModifierEcho, LeftKeyPressedWhileTheRightIsHeldCounts)
{
    keys[KEY_RSHIFT] = 1;
    poll();
    now += 30;
    keys[KEY_LSHIFT] = 1;
    poll();
    EXPECT_EQ(keys[KEY_LSHIFT], 1);
}

TEST_F(ModifierEcho, LeftKeyAloneCountsAndTheRightThenToo)
{
    keys[KEY_LCONTROL] = 1;
    poll();
    EXPECT_EQ(keys[KEY_LCONTROL], 1);
    now += 10;
    keys[KEY_RCONTROL] = 1;
    poll();
    EXPECT_EQ(keys[KEY_LCONTROL], 1);
    EXPECT_EQ(keys[KEY_RCONTROL], 1);
}

TEST_F(ModifierEcho, APressAfterTheEchoWasReleasedCounts)
{
    keys[KEY_RSHIFT] = keys[KEY_LSHIFT] = 1;
    poll();
    keys[KEY_RSHIFT] = 0;
    now += 3;
    poll();
    now += 3;
    keys[KEY_LSHIFT] = 1;
    poll();
    EXPECT_EQ(keys[KEY_LSHIFT], 1);
}

} // namespace
