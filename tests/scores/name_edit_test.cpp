// The name-entry rule, one key code at a time.
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "scores/name_edit.h"

namespace {

struct Name {
    char text[score_field_size];
    explicit Name(const char* start) { copy_field(text, start); }
    // Applies each code in turn; true if any of them confirmed the name.
    bool type(const std::string& codes)
    {
        bool confirmed = false;
        for (char c : codes)
            confirmed = edit_name(text, static_cast<unsigned char>(c)) || confirmed;
        return confirmed;
    }
};

const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

} // namespace

TEST(NameEntry, LettersAndSpacesAreAppended)
{
    Name name("Player 1");
    EXPECT_FALSE(name.type(" Zed q"));
    EXPECT_STREQ(name.text, "Player 1 Zed q");
    Name empty("");
    EXPECT_FALSE(empty.type(letters.substr(0, 10)));
    EXPECT_EQ(std::string(empty.text), letters.substr(0, 10));
}

TEST(NameEntry, EveryOtherCodeChangesNothing)
{
    for (int code = 0; code < 256; code++) {
        bool letter = (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
        if (letter || code == ' ' || code == key_code_backspace || code == key_code_enter)
            continue;
        Name name("Player 2");
        EXPECT_FALSE(edit_name(name.text, code)) << code;
        EXPECT_STREQ(name.text, "Player 2") << code;
    }
}

TEST(NameEntry, NameStopsGrowingAt18Characters)
{
    Name name("");
    name.type(letters);
    EXPECT_EQ(std::string(name.text), letters.substr(0, max_typed_name));
    name.type("x y");
    EXPECT_EQ(std::strlen(name.text), static_cast<size_t>(max_typed_name));
}

TEST(NameEntry, FullNameStillTakesBackspaceAndEnter)
{
    Name name("");
    name.type(letters.substr(0, max_typed_name));
    name.type(std::string(1, key_code_backspace));
    EXPECT_EQ(std::string(name.text), letters.substr(0, max_typed_name - 1));
    name.type("st");
    EXPECT_EQ(std::string(name.text), letters.substr(0, max_typed_name - 1) + "s");
    EXPECT_TRUE(edit_name(name.text, key_code_enter));
}

// A label can be longer than anything typed; typing never lengthens it further.
TEST(NameEntry, NineteenCharacterStartTakesNoMoreLetters)
{
    Name name("ABCDEFGHIJKLMNOPQRS");
    name.type("T");
    EXPECT_STREQ(name.text, "ABCDEFGHIJKLMNOPQRS");
    name.type(std::string(1, key_code_backspace));
    EXPECT_STREQ(name.text, "ABCDEFGHIJKLMNOPQR");
}

TEST(NameEntry, BackspaceRemovesTheLastCharacterUntilEmpty)
{
    Name name("Ab");
    name.type(std::string(1, key_code_backspace));
    EXPECT_STREQ(name.text, "A");
    name.type(std::string(5, key_code_backspace));
    EXPECT_STREQ(name.text, "");
}

TEST(NameEntry, EnterConfirmsOnlyANonEmptyName)
{
    Name name("Player 1");
    EXPECT_TRUE(edit_name(name.text, key_code_enter));
    EXPECT_STREQ(name.text, "Player 1");

    Name empty("");
    EXPECT_FALSE(edit_name(empty.text, key_code_enter));
    EXPECT_FALSE(empty.type("\r\r"));
    EXPECT_TRUE(empty.type("Q\r"));
    EXPECT_STREQ(empty.text, "Q");
}

// The buffer comes from outside; a missing terminator must not lead past its 20 bytes.
TEST(NameEntry, BufferWithoutTerminatorIsCutNotOverrun)
{
    Name name("");
    std::memset(name.text, 'x', sizeof name.text);
    edit_name(name.text, key_code_backspace);
    EXPECT_EQ(std::strlen(name.text), static_cast<size_t>(score_field_chars - 1));
}
