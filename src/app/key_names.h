// The library's key names, as the settings file spells them: KEY_LSHIFT is "LSHIFT".
#pragma once

// The KEY_* code of a name such as "LSHIFT" or "Z", or 0 when the library has no such key.
int key_code_of(const char* name);
// The name of a KEY_* code, "?" for none.
const char* key_name_of(int code);
