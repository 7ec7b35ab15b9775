// Kept handles of the board's and the header's controls, filled as each control is made.
#include "board/board_controls.h"

#include <new>

ControlTable boardControls;
ControlTable headerControls;

void keepControlsOf(ControlTable& table, HWND dialog, int idCount)
{
    delete[] table.byId;
    // Zeroed: an id no control was made with finds nothing, as with GetDlgItem.
    table.byId = idCount > 0 ? new (std::nothrow) HWND[idCount]() : nullptr;
    table.idCount = table.byId ? idCount : 0;
    table.dialog = table.byId ? dialog : nullptr;
}

void keepControl(ControlTable& table, HWND control, int id)
{
    // Ids some controls share (the list's labels, the answer names): GetDlgItem finds the first.
    if (id >= 0 && id < table.idCount && !table.byId[id])
        table.byId[id] = control;
}

HWND controlOf(const ControlTable& table, HWND dialog, int id)
{
    if (!dialog || dialog != table.dialog)
        return GetDlgItem(dialog, id);
    return id >= 0 && id < table.idCount ? table.byId[id] : nullptr;
}

void forgetControlsOf(ControlTable& table, HWND dialog)
{
    if (table.dialog == dialog)
        keepControlsOf(table, nullptr, 0);
}
