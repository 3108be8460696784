// Scenario harness for the simulation tests.
#include "scenario.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "game/popups.h"
#include "game/update.h"
#include "support/headless.h"

namespace {

const char colour_letters[] = ".RGBYP";
const char state_letters[] = "-smchfr";

void release_all_keys()
{
    for (int k = 0; k < KEY_MAX; k++)
        key[k] = 0;
}

} // namespace

Scenario::Scenario(int count, unsigned seed)
{
    install_fake_game_data();
    for (BITMAP*& image : popup_images)
        image = create_bitmap(cell_size, cell_size);
    release_all_keys();
    std::srand(seed);
    start_game(count);
}

Scenario::~Scenario()
{
    end_game();
    clear_popups();
    for (BITMAP*& image : popup_images) {
        destroy_bitmap(image);
        image = nullptr;
    }
    release_all_keys();
    remove_fake_game_data();
}

void Scenario::set_well(const std::vector<std::string>& rows, int index)
{
    if (rows.empty() || rows.size() > static_cast<size_t>(grid_rows))
        throw std::invalid_argument("a well has 1 to 13 rows");
    const int first = grid_rows - static_cast<int>(rows.size());
    for (int row = 0; row < grid_rows; row++)
        for (int col = 0; col < well_cols; col++) {
            Cell& cell = players[index].grid[row][col];
            cell = Cell{};
            if (row < first)
                continue;
            const std::string& text = rows[row - first];
            const char* at = text.size() == static_cast<size_t>(well_cols) && text[col]
                                 ? std::strchr(colour_letters, text[col]) : nullptr;
            if (!at)
                throw std::invalid_argument("not a row of 6 colour letters: " + text);
            cell.color = static_cast<int8_t>(at - colour_letters);
        }
}

bool Scenario::tick(const std::vector<int>& held)
{
    release_all_keys();
    for (int k : held)
        key[k] = 1;
    const bool topped_out = update_players();
    update_popups();
    return topped_out;
}

bool Scenario::run(int count, const std::vector<int>& held)
{
    bool topped_out = false;
    for (int i = 0; i < count; i++)
        topped_out = tick(held) || topped_out;
    return topped_out;
}

std::string Scenario::rows_text(int index, int first, int last, bool states) const
{
    std::string text;
    for (int row = first; row <= (last < 0 ? first : last); row++) {
        text += row > first ? "/" : "";
        for (const Cell& cell : players[index].grid[row]) {
            const int value = states ? cell.state : cell.color;
            const char* letters = states ? state_letters : colour_letters;
            text += value >= 0 && value < static_cast<int>(std::strlen(letters)) ? letters[value] : '?';
        }
    }
    return text;
}

int count_blocks(const Player& player)
{
    int blocks = 0;
    for (const auto& row : player.grid)
        for (const Cell& cell : row)
            blocks += cell.color != 0;
    return blocks;
}

int count_groups(const Player& player)
{
    int groups = 0;
    for (const ActionGroup* g = player.groups; g; g = g->next)
        groups++;
    return groups;
}
