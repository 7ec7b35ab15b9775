// The board's and the header's controls by id, kept as they are made. Under Wine every GetDlgItem
// asks the server for the dialog's whole child list (~136 us on a board of 670 controls), while a
// kept handle costs nothing; the ids stay the contract, the table only holds the same windows.
#pragma once

#include <windows.h>

// Every board and header control id is below this (the largest: picture control 9900 + 96).
constexpr int kKeptIds = 10000;

struct ControlTable {
    HWND dialog;          // whose controls these are; null while the table keeps none
    HWND byId[kKeptIds];  // the first control made with each id, the one GetDlgItem finds
};

extern ControlTable boardControls;
extern ControlTable headerControls;

// Starts an empty table for dialog, forgetting the dialog it kept before.
void keepControlsOf(ControlTable& table, HWND dialog);

// Records a control just made on the table's dialog.
void keepControl(ControlTable& table, HWND control, int id);

// The control of that id on dialog, null when there is none; a dialog the table does not keep
// is asked with GetDlgItem.
HWND controlOf(const ControlTable& table, HWND dialog, int id);

// Empties the table when its dialog goes.
void forgetControlsOf(ControlTable& table, HWND dialog);
