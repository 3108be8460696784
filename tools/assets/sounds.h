// The five sound effects, synthesised and written as WAV files.
#pragma once

#include <string>

constexpr int sound_rate = 22050; // samples a second, mono, 16-bit

bool save_title_sound(const std::string& path);       // a bell chime
bool save_start_sound(const std::string& path);       // a rising arpeggio
bool save_match_sound(const std::string& path);       // a short bright blip
bool save_warning_sound(const std::string& path);     // a two-tone alert
bool save_last_moment_sound(const std::string& path); // a gong
