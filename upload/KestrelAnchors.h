#pragma once
// How the main dialog's controls follow its size: the anchors CKestrelDlg registers with
// CResizeDlg::addAnchor (modes and options as it takes them), in one table that the resize
// test drives too.

#include <windows.h>

#include "upload/res/UploadIds.h"

struct KestrelAnchor {
    int id;
    unsigned mode1;
    unsigned mode2;
    unsigned mode3;
    unsigned mode4;
    unsigned options;
};

// The name, the pictures and the description widen with the dialog, the description grows down
// too (these three and the note are kept out of erasing); the note and the upload button move
// down with the bottom edge (the upload's Cancel in the upload button's place), Quit with the
// bottom right corner, the status line below them with the bottom edge and the width.
inline constexpr KestrelAnchor kKestrelAnchors[] = {
    {IDC_NAME, 0, 1, 2, 0, 1},          {IDC_DESCRIPTION, 0, 1, 2, 1, 1}, {IDC_NOTE, 2, 0, 0, 2, 1},
    {IDC_PICTURES, 0, 1, 2, 0, 1},      {IDC_UPLOAD, 2, 0, 0, 2, 0},      {IDCANCEL, 0, 2, 2, 2, 0},
    {IDC_CANCEL_UPLOAD, 2, 0, 0, 2, 0}, {IDC_STATUS, 2, 1, 2, 2, 0},
};

// The least client size, in dialog units, the member can drag the dialog to (a screen too small
// for its design size makes it that small too): the path row and its browse button whole, the
// description a few lines high, Upload and Quit below it.
inline constexpr int kKestrelMinimumWidth = 298;
inline constexpr int kKestrelMinimumHeight = 276;
