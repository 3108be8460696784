// The pending swap and clear actions of a player, in the slots of its group store.
#include "game/player.h"

void clear_groups(Player& player)
{
    GroupStore& store = player.store;
    for (int i = 0; i < max_groups; i++)
        store.groups[i] = ActionGroup{no_link, 0, GROUP_FREE, static_cast<int8_t>(i + 1 < max_groups ? i + 1 : no_link)};
    for (int i = 0; i < max_group_cells; i++)
        store.cells[i] = GroupCell{0, 0, static_cast<int8_t>(i + 1 < max_group_cells ? i + 1 : no_link)};
    store.free_group = 0;
    store.free_cell = 0;
    player.groups = no_link;
}

ActionGroup* push_group(Player& player, uint8_t kind)
{
    GroupStore& store = player.store;
    const int8_t slot = store.free_group;
    if (slot == no_link)
        return nullptr;
    ActionGroup& group = store.groups[slot];
    store.free_group = group.next;
    group = ActionGroup{no_link, static_cast<int8_t>(kind == GROUP_CLEAR ? clear_group_timer : swap_group_timer),
                        kind, player.groups};
    player.groups = slot;
    return &group;
}

bool push_group_cell(Player& player, ActionGroup& group, int8_t row, int8_t col)
{
    GroupStore& store = player.store;
    const int8_t slot = store.free_cell;
    if (slot == no_link)
        return false;
    store.free_cell = store.cells[slot].next;
    store.cells[slot] = GroupCell{row, col, group.cells};
    group.cells = slot;
    return true;
}

void remove_group(Player& player, int8_t& link)
{
    GroupStore& store = player.store;
    const int8_t slot = link;
    ActionGroup& group = store.groups[slot];
    while (group.cells != no_link) {
        const int8_t cell = group.cells;
        group.cells = store.cells[cell].next;
        store.cells[cell].next = store.free_cell;
        store.free_cell = cell;
    }
    link = group.next;
    group.kind = GROUP_FREE;
    group.next = store.free_group;
    store.free_group = slot;
}

int count_groups(const Player& player)
{
    int groups = 0;
    for (int8_t g = player.groups; g != no_link; g = group_at(player, g).next)
        groups++;
    return groups;
}
