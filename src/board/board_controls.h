// The board's and the header's controls by id, kept as they are made. Under Wine every GetDlgItem
// asks the server for the dialog's whole child list (~136 us on a board of 670 controls), while a
// kept handle costs nothing; the ids stay the contract, the table only holds the same windows.
#pragma once

#include <windows.h>

// Every board control id is below this (the largest: picture control 9900 + 96).
constexpr int kBoardIdCount = 10000;

struct ControlTable {
    HWND dialog;  // whose controls these are; null while the table keeps none
    HWND* byId;   // idCount entries: the first control made with each id, the one GetDlgItem finds
    int idCount;
};

extern ControlTable boardControls;
extern ControlTable headerControls;

// Starts an empty table for dialog's ids below idCount, forgetting what it kept before. Without
// memory for it, lookups ask GetDlgItem.
void keepControlsOf(ControlTable& table, HWND dialog, int idCount);

// Records a control just made on the table's dialog.
void keepControl(ControlTable& table, HWND control, int id);

// The control of that id on dialog, null when there is none; a dialog the table does not keep
// is asked with GetDlgItem.
HWND controlOf(const ControlTable& table, HWND dialog, int id);

// Empties the table when its dialog goes.
void forgetControlsOf(ControlTable& table, HWND dialog);
