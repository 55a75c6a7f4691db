// The check-list box: a standard list box (fixed-height owner drawing,
// stored strings, notifications) whose rows each show a check box, an image
// and their text, and may be dimmed. All state lives in each row's item
// data:
//   bits  0-15  check state (0 unchecked, non-zero checked)
//   bits 16-23  image number in the registered image list
//   bits 24-31  dimmed mark (non-zero: image blended, text in grey)
// The space bar toggles the selected row, a click on a row's check box
// toggles that row. Every toggle is put to the owning dialog first:
//   WM_COMMAND, wParam MAKEWPARAM(listId, kCheckListChanging),
//               lParam MAKELPARAM(row, newState)
// with the dialog's DWLP_MSGRESULT set to 0; a non-zero DWLP_MSGRESULT
// afterwards refuses the toggle. A state that changed is announced with
//   WM_COMMAND, wParam MAKEWPARAM(listId, kCheckListChanged),
//               lParam MAKELPARAM(row, newState).
// The owning dialog forwards WM_MEASUREITEM and WM_DRAWITEM of the list to
// MeasureCheckListRow and DrawCheckListRow. Main (dialog) thread only.
#pragma once

#include <windows.h>

#include <commctrl.h>

enum : WORD {
    kCheckListChanging = 0xFFF0,  // before a toggle; the dialog may refuse it
    kCheckListChanged = 0xFFF1,   // after a change of state
};

// Turns `list` into a check-list box drawn with `images`, whose image
// `uncheckedImage` and `checkedImage` are the two states of the box. The
// list box keeps its replaced window procedure until it is destroyed; the
// caller keeps the image list alive as long. 1 on success.
int MakeCheckList(HWND list, HIMAGELIST images, int uncheckedImage, int checkedImage);

// Check state and dimmed mark of `row`; 0 for a row that does not exist.
int CheckListState(HWND list, int row);
int CheckListDimmed(HWND list, int row);

// Stores `state`, redraws the row and sends kCheckListChanged. 0 for a row
// that does not exist.
int SetCheckListState(HWND list, int row, int state);

// Stores image number and dimmed mark, keeping the state; redraws the row.
// 0 for a row that does not exist.
int SetCheckListImage(HWND list, int row, int image, int dimmed);

// Owner drawing of one row (the dialog's WM_DRAWITEM for the list).
void DrawCheckListRow(HWND dialog, HWND list, const DRAWITEMSTRUCT* item);

// Row height: the image height plus 2 (the dialog's WM_MEASUREITEM).
void MeasureCheckListRow(HWND list, MEASUREITEMSTRUCT* item, int imageHeight);
