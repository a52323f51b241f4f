#pragma once

// The steps of an operator's day beside AutoCAD, each made through the mouse and the keys of
// the X server as a person makes it; each waits until its work is seen to be done.

#include <windows.h>

#include <functional>
#include <string>

#include "bench/soak/desk.h"

namespace soak {

// Clicks the point until `done` holds, a few times at most (Wine may drop a click while a
// window is still coming up); throws SoakFailure naming `what` when it never holds.
void ClickUntil(Desk& desk, POINT at, const std::function<bool()>& done, const std::string& what);

// Answers the drawing picker with the keys ("Escape", "End Return"...) after a click into its
// list, as a person clicks into a window that has just come up. Under Wine the keyboard follows
// the X focus, which cadsim may take back after the picker came to the front (LIST brings cadsim
// forward first); the click gives it to the picker.
void AnswerPicker(Desk& desk, HWND picker, const std::string& keys);

// With the panel: the pop-up menu's registration and its box; LIST and the picker (`choice`:
// 0 Esc, 1 the last drawing, 2 the first); the export through the keyboard, the save dialog
// accepted and the overwrite question answered "はい".
void RegisterFromTheMenu(Desk& desk);
void SwitchDrawing(Desk& desk, int choice);
void ExportCleanedCopy(Desk& desk);

// With cadsim: ACT brings it to the front; lone Shift and Ctrl taps while it is busy give F8
// and F9; the same taps and LIST while it refuses calls, and while it hangs; it goes as
// `way` says (0 its close box, 1 the process quits, 2 its window goes and comes back first).
void ActivateCad(Desk& desk);
void TapsWhileBusy(Desk& desk);
void WhileRefusing(Desk& desk);
void WhileHanging(Desk& desk);
void CadGoes(Desk& desk, int way);

}  // namespace soak
