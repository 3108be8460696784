// Reading a replay's key file.
#include "key_script.h"

#include <allegro.h>
#include <cstdlib>
#include <sstream>

namespace {

struct KeyName {
    const char* name;
    int code;
};

const KeyName key_names[] = {
    {"KEY_UP", KEY_UP},         {"KEY_DOWN", KEY_DOWN},     {"KEY_LEFT", KEY_LEFT},
    {"KEY_RIGHT", KEY_RIGHT},   {"KEY_RSHIFT", KEY_RSHIFT}, {"KEY_RCONTROL", KEY_RCONTROL},
    {"KEY_W", KEY_W},           {"KEY_S", KEY_S},           {"KEY_A", KEY_A},
    {"KEY_D", KEY_D},           {"KEY_LSHIFT", KEY_LSHIFT}, {"KEY_LCONTROL", KEY_LCONTROL},
};

bool parse_tick(const std::string& word, int& tick)
{
    if (word.empty() || word.size() > 9 || word.find_first_not_of("0123456789") != std::string::npos)
        return false;
    tick = std::atoi(word.c_str());
    return tick >= 1;
}

} // namespace

int player_key_code(const std::string& name)
{
    for (const KeyName& k : key_names)
        if (name == k.name)
            return k.code;
    return -1;
}

bool parse_key_script(const std::string& text, std::vector<KeyEvent>& events, std::string& error)
{
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); number++) {
        const std::string content = line.substr(0, line.find('#'));
        std::istringstream words(content);
        std::string tick_word, name, sign, extra;
        if (!(words >> tick_word))
            continue; // blank or comment only
        KeyEvent event{};
        const bool complete = static_cast<bool>(words >> name >> sign) && !(words >> extra);
        if (!complete || !parse_tick(tick_word, event.tick) ||
            (event.code = player_key_code(name)) < 0 || (sign != "+" && sign != "-")) {
            error = "line " + std::to_string(number) +
                    ": expected \"TICK KEY_NAME +\" or \"TICK KEY_NAME -\", got \"" + line + "\"";
            return false;
        }
        event.down = sign == "+";
        events.push_back(event);
    }
    return true;
}
