// The name-entry rule, kept free of the screen so it can be tried key by key.
#include "scores/name_edit.h"

#include <cstring>

namespace {

// Only plain letters and the space: the fonts hold nothing else the player could mean.
bool typable(int code)
{
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || code == ' ';
}

} // namespace

bool edit_name(char (&name)[score_field_size], int code)
{
    size_t length = strnlen(name, score_field_chars);
    name[length] = '\0';
    if (typable(code)) {
        if (length < max_typed_name) {
            name[length] = static_cast<char>(code);
            name[length + 1] = '\0';
        }
    } else if (code == key_code_backspace && length > 0) {
        name[length - 1] = '\0';
    }
    return code == key_code_enter && name[0] != '\0';
}
