// The name-entry rule, one key code at a time.
#include <cctype>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "scores/name_edit.h"

namespace {

const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
const std::string backspace(1, key_code_backspace);

// Starts a name as `start` and applies each code; returns the name, and in
// `confirmed` whether the last code confirmed it.
std::string typed(const char* start, const std::string& codes, bool* confirmed = nullptr)
{
    char name[score_field_size];
    copy_field(name, start);
    bool done = false;
    for (char c : codes)
        done = edit_name(name, static_cast<unsigned char>(c));
    if (confirmed)
        *confirmed = done;
    return name;
}

} // namespace

TEST(NameEntry, LettersAndSpacesAreAppendedAndBackspaceTakesTheLastAway)
{
    EXPECT_EQ(typed("Player 1", " Zed q"), "Player 1 Zed q");
    EXPECT_EQ(typed("Ab", backspace), "A");
    EXPECT_EQ(typed("Ab", backspace + backspace + backspace), "");
}

TEST(NameEntry, EveryOtherCodeChangesNothing)
{
    for (int code = 0; code < 256; code++) {
        if (std::isalpha(code) && code < 128)
            continue;
        if (code == ' ' || code == key_code_backspace || code == key_code_enter)
            continue;
        bool confirmed = true;
        EXPECT_EQ(typed("Player 2", std::string(1, static_cast<char>(code)), &confirmed), "Player 2") << code;
        EXPECT_FALSE(confirmed) << code;
    }
}

TEST(NameEntry, NameStopsGrowingAt18CharactersButStillTakesBackspaceAndEnter)
{
    std::string full = letters.substr(0, max_typed_name);
    EXPECT_EQ(typed("", letters), full);
    EXPECT_EQ(typed(full.c_str(), "x y"), full);
    EXPECT_EQ(typed(full.c_str(), backspace + "st"), full.substr(0, max_typed_name - 1) + "s");
    bool confirmed = false;
    EXPECT_EQ(typed(full.c_str(), "\r", &confirmed), full);
    EXPECT_TRUE(confirmed);
    // A 19-character label is longer than anything typed; typing never lengthens it.
    EXPECT_EQ(typed("ABCDEFGHIJKLMNOPQRS", "T"), "ABCDEFGHIJKLMNOPQRS");
}

TEST(NameEntry, EnterConfirmsOnlyANonEmptyName)
{
    bool confirmed = false;
    EXPECT_EQ(typed("Player 1", "\r", &confirmed), "Player 1");
    EXPECT_TRUE(confirmed);
    typed("", "\r", &confirmed);
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(typed("", "\rQ\r", &confirmed), "Q");
    EXPECT_TRUE(confirmed);
}

// The buffer comes from outside; a missing terminator must not lead past its 20 bytes.
TEST(NameEntry, BufferWithoutTerminatorIsCutNotOverrun)
{
    char name[score_field_size];
    std::memset(name, 'x', sizeof name);
    edit_name(name, key_code_backspace);
    EXPECT_EQ(std::strlen(name), static_cast<size_t>(score_field_chars - 1));
}
