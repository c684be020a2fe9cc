#pragma once
// Runs a dialog template's initialisation data (resource type RT_DLGINIT_DATA with the
// template's ID): entries of control ID, message, length and data, ended by a zero ID.
// Only combo box entries are used; an entry that runs past the resource ends the walk.

#include <windows.h>

void RunDialogInitData(HWND dialog, UINT idTemplate);
