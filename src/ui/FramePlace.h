// The frame of a resizable window other than the main one, kept in a section of its own of the
// settings file, in screen pixels; and any window kept where a user can reach it.
#pragma once

#include <windows.h>

#include <string>

namespace kordane::ui {

// Puts the window at its stored frame, or centred on its owner and on the owner's monitor when
// there is none; a frame left on a screen that is no longer there comes back onto the nearest one.
void RestoreFramePlace(HWND window, HWND owner, const std::string& settingsPath,
                       const char* section);

// Stores the window's normal frame in screen pixels, as RestoreFramePlace takes it. A file that
// cannot be written is not reported: the window then opens at its default place next time.
void SaveFramePlace(HWND window, const std::string& settingsPath, const char* section);

// A window whose frame touches no monitor at all could never be reached: it is moved into the
// nearest monitor's work area, its size kept. A frame that is even partly on a monitor stays.
void BringOntoAMonitor(HWND window);

}  // namespace kordane::ui
