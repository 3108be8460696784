// The pending swap and clear actions of a player: singly linked, newest first.
#include "game/player.h"

#include <cstdlib>

ActionGroup* push_group(ActionGroup*& list, uint8_t kind)
{
    auto* group = static_cast<ActionGroup*>(std::malloc(sizeof(ActionGroup)));
    if (!group)
        return nullptr;
    group->cells = nullptr;
    group->timer = kind == GROUP_CLEAR ? clear_group_timer : swap_group_timer;
    group->kind = kind;
    group->next = list;
    list = group;
    return group;
}

bool push_group_cell(ActionGroup* group, int8_t row, int8_t col)
{
    auto* cell = static_cast<GroupCell*>(std::malloc(sizeof(GroupCell)));
    if (!cell)
        return false;
    cell->row = row;
    cell->col = col;
    cell->next = group->cells;
    group->cells = cell;
    return true;
}

void free_groups(ActionGroup*& list)
{
    while (ActionGroup* group = list) {
        list = group->next;
        while (GroupCell* cell = group->cells) {
            group->cells = cell->next;
            std::free(cell);
        }
        std::free(group);
    }
}
