// Reading "blockrise.cfg" through the library's config functions.
#include "screens/settings.h"

#include <algorithm>
#include <allegro.h>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "app/key_names.h"

namespace {

constexpr const char* key_sections[control_set_count] = {"keys.one_player", "keys.player1", "keys.player2"};
constexpr const char* action_entries[action_count] = {"up", "down", "left", "right", "swap", "raise"};
constexpr int max_button = 32;
constexpr int max_volume = 255;

// Escape ends a game and P and Pause pause it: a player's action on one of them would do both.
constexpr int reserved_keys[] = {KEY_ESC, KEY_P, KEY_PAUSE};

struct Reader {
    const char* path;
    std::vector<std::string>& warnings;

    void warn(const char* section, const char* entry, const char* value, const std::string& why) const
    {
        warnings.push_back(std::string(path) + ": [" + section + "] " + entry + " = " + value + ": " + why +
                           "; keeping the default");
    }
};

std::vector<std::string> words_of(const char* value)
{
    std::istringstream in(value);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

bool whole_number(const std::string& text, int low, int high, int& number)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    number = std::atoi(text.c_str());
    return number >= low && number <= high;
}

bool is_reserved(int code)
{
    for (int reserved : reserved_keys)
        if (code == reserved)
            return true;
    return false;
}

void read_keys(const Reader& reader, const char* section, const char* entry, uint8_t (&keys)[keys_per_action])
{
    const char* value = get_config_string(section, entry, nullptr);
    if (!value)
        return;
    const std::vector<std::string> names = words_of(value);
    if (names.empty() || names.size() > keys_per_action)
        return reader.warn(section, entry, value, "give one to four key names");
    uint8_t codes[keys_per_action] = {};
    for (size_t i = 0; i < names.size(); i++) {
        const int code = key_code_of(names[i].c_str());
        if (code == 0)
            return reader.warn(section, entry, value, "no key is called " + names[i]);
        if (is_reserved(code))
            return reader.warn(section, entry, value, names[i] + " is kept for ending or pausing a game");
        codes[i] = static_cast<uint8_t>(code);
    }
    std::memcpy(keys, codes, sizeof keys);
}

// "none" or a number from 1 to `high`.
void read_number_or_none(const Reader& reader, const char* section, const char* entry, int high, uint8_t& out)
{
    const char* value = get_config_string(section, entry, nullptr);
    if (!value)
        return;
    const std::vector<std::string> words = words_of(value);
    int number = 0;
    if (words.size() == 1 && words[0] == "none")
        out = 0;
    else if (words.size() == 1 && whole_number(words[0], 1, high, number))
        out = static_cast<uint8_t>(number);
    else
        reader.warn(section, entry, value, "give none or a number from 1 to " + std::to_string(high));
}

void read_sticks(const Reader& reader, const char* section, uint8_t& sticks)
{
    const char* value = get_config_string(section, "pad_move", nullptr);
    if (!value)
        return;
    uint8_t mask = 0;
    for (const std::string& word : words_of(value)) {
        int number = 0;
        if (!whole_number(word, 1, max_sticks, number))
            return reader.warn(section, "pad_move", value, "give stick numbers from 1 to 8");
        mask = static_cast<uint8_t>(mask | 1u << (number - 1));
    }
    sticks = mask;
}

void read_control_set(const Reader& reader, int set, Controls& controls)
{
    const char* section = key_sections[set];
    for (int action = 0; action < action_count; action++)
        read_keys(reader, section, action_entries[action], controls.sets[set].keys[action]);
    PadBinding& pad = controls.pads[set];
    read_number_or_none(reader, section, "pad", MAX_JOYSTICKS, pad.pad);
    read_sticks(reader, section, pad.move_sticks);
    read_number_or_none(reader, section, "pad_swap", max_button, pad.swap);
    read_number_or_none(reader, section, "pad_raise", max_button, pad.raise);
    read_number_or_none(reader, section, "pad_pause", max_button, pad.pause);
}

// One of `choices`, whose index it stores; anything else is warned about.
void read_choice(const Reader& reader, const char* section, const char* entry,
                 const std::vector<const char*>& choices, int& index)
{
    const char* value = get_config_string(section, entry, nullptr);
    if (!value)
        return;
    const std::vector<std::string> words = words_of(value);
    for (size_t i = 0; i < choices.size(); i++)
        if (words.size() == 1 && words[0] == choices[i]) {
            index = static_cast<int>(i);
            return;
        }
    std::string list;
    for (const char* choice : choices)
        list += std::string(list.empty() ? "" : "|") + choice;
    reader.warn(section, entry, value, "give one of " + list);
}

void read_volume(const Reader& reader, const char* entry, int& volume)
{
    const char* value = get_config_string("sound", entry, nullptr);
    if (!value)
        return;
    const std::vector<std::string> words = words_of(value);
    int number = 0;
    if (words.size() == 1 && whole_number(words[0], 0, max_volume, number))
        volume = number;
    else
        reader.warn("sound", entry, value, "give a number from 0 to 255");
}

void read_display(const Reader& reader, DisplayRequest& display)
{
    int mode = static_cast<int>(display.mode);
    read_choice(reader, "display", "mode", {"auto", "window", "fullscreen"}, mode);
    display.mode = static_cast<DisplayMode>(mode);
    int scale = -1;
    read_choice(reader, "display", "scale", {"auto", "1", "2", "3", "4"}, scale);
    if (scale >= 0) {
        display.scale = scale;
        display.scale_asked = true;
    }
}

// Names in the file that nothing reads: a misspelt entry would otherwise do nothing, silently.
void warn_unknown(const Reader& reader)
{
    const std::vector<std::string> known_sections = {key_sections[0], key_sections[1], key_sections[2],
                                                     "display", "game", "sound"};
    const std::vector<std::string> key_entries = {"up", "down", "left", "right", "swap", "raise", "pad",
                                                  "pad_move", "pad_swap", "pad_raise", "pad_pause"};
    const char** sections = nullptr;
    const int section_count = list_config_sections(&sections);
    for (int s = 0; s < section_count; s++) {
        // The library lists sections as they are written, brackets and all.
        std::string section = sections[s];
        if (section.size() >= 2 && section.front() == '[' && section.back() == ']')
            section = section.substr(1, section.size() - 2);
        std::vector<std::string> known;
        if (section.rfind("keys.", 0) == 0)
            known = key_entries;
        else if (section == "display")
            known = {"mode", "scale"};
        else if (section == "game")
            known = {"low_power"};
        else if (section == "sound")
            known = {"music_volume", "effects_volume"};
        const bool section_known = std::find(known_sections.begin(), known_sections.end(), section) != known_sections.end();
        const char** entries = nullptr;
        const int entry_count = list_config_entries(sections[s], &entries);
        for (int e = 0; e < entry_count; e++) {
            if (section_known && std::find(known.begin(), known.end(), entries[e]) != known.end())
                continue;
            const char* value = get_config_string(sections[s], entries[e], "");
            reader.warn(section.c_str(), entries[e], value, section_known ? "no such entry" : "no such section");
        }
        free_config_entries(&entries);
    }
    free_config_entries(&sections);
}

} // namespace

Settings read_settings(const char* path, std::vector<std::string>& warnings)
{
    Settings settings;
    const Reader reader{path, warnings};
    // The library keeps its own settings (allegro.cfg) as the current config: ours is read
    // on the side and theirs put back.
    push_config_state();
    set_config_file(path);
    for (int set = 0; set < control_set_count; set++)
        read_control_set(reader, set, settings.controls);
    read_display(reader, settings.display);
    int low_power = settings.low_power ? 1 : 0;
    read_choice(reader, "game", "low_power", {"no", "yes"}, low_power);
    settings.low_power = low_power != 0;
    read_volume(reader, "music_volume", settings.music_volume);
    read_volume(reader, "effects_volume", settings.effects_volume);
    warn_unknown(reader);
    pop_config_state();
    return settings;
}
