// Reading a replay's key file.
#include "key_script.h"

#include <cstdlib>
#include <sstream>

namespace {

struct KeyName {
    const char* name;
    KeySet set;
    Action action;
};

const KeyName key_names[] = {
    {"KEY_UP", KeySet::right_hand, ACTION_UP},        {"KEY_DOWN", KeySet::right_hand, ACTION_DOWN},
    {"KEY_LEFT", KeySet::right_hand, ACTION_LEFT},    {"KEY_RIGHT", KeySet::right_hand, ACTION_RIGHT},
    {"KEY_RSHIFT", KeySet::right_hand, ACTION_SWAP},  {"KEY_RCONTROL", KeySet::right_hand, ACTION_RAISE},
    {"KEY_W", KeySet::left_hand, ACTION_UP},          {"KEY_S", KeySet::left_hand, ACTION_DOWN},
    {"KEY_A", KeySet::left_hand, ACTION_LEFT},        {"KEY_D", KeySet::left_hand, ACTION_RIGHT},
    {"KEY_LSHIFT", KeySet::left_hand, ACTION_SWAP},   {"KEY_LCONTROL", KeySet::left_hand, ACTION_RAISE},
};

bool parse_tick(const std::string& word, int& tick)
{
    if (word.empty() || word.size() > 9 || word.find_first_not_of("0123456789") != std::string::npos)
        return false;
    tick = std::atoi(word.c_str());
    return tick >= 1;
}

const KeyName* find_key(const std::string& name)
{
    for (const KeyName& k : key_names)
        if (name == k.name)
            return &k;
    return nullptr;
}

} // namespace

int player_of(KeySet set, int players)
{
    if (set == KeySet::right_hand)
        return players - 1;
    return players == 2 ? 0 : -1;
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
        const KeyName* key = complete ? find_key(name) : nullptr;
        if (!key || !parse_tick(tick_word, event.tick) || (sign != "+" && sign != "-")) {
            error = "line " + std::to_string(number) +
                    ": expected \"TICK KEY_NAME +\" or \"TICK KEY_NAME -\", got \"" + line + "\"";
            return false;
        }
        event.set = key->set;
        event.action = key->action;
        event.down = sign == "+";
        events.push_back(event);
    }
    return true;
}
