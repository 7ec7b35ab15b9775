// Kept handles of the board's and the header's controls, filled as each control is made.
#include "board/board_controls.h"

#include <cstring>

ControlTable boardControls;
ControlTable headerControls;

void keepControlsOf(ControlTable& table, HWND dialog)
{
    std::memset(table.byId, 0, sizeof table.byId);
    table.dialog = dialog;
}

void keepControl(ControlTable& table, HWND control, int id)
{
    // Ids some controls share (the list's labels, the answer names): GetDlgItem finds the first.
    if (id >= 0 && id < kKeptIds && !table.byId[id])
        table.byId[id] = control;
}

HWND controlOf(const ControlTable& table, HWND dialog, int id)
{
    if (dialog != table.dialog)
        return GetDlgItem(dialog, id);
    return id >= 0 && id < kKeptIds ? table.byId[id] : nullptr;
}

void forgetControlsOf(ControlTable& table, HWND dialog)
{
    if (table.dialog == dialog)
        keepControlsOf(table, nullptr);
}
