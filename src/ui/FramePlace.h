// The frame of a resizable window other than the main one, kept in a section of its own of the
// settings file, in screen pixels.
#pragma once

#include <windows.h>

#include <string>

namespace kordane::ui {

// Puts the window at its stored frame, or centred on its owner when there is none; a frame left
// on a screen that is no longer there comes back onto the nearest one.
void RestoreFramePlace(HWND window, HWND owner, const std::string& settingsPath,
                       const char* section);

// Stores the window's normal frame. A file that cannot be written is not reported: the window
// then opens at its default place next time.
void SaveFramePlace(HWND window, const std::string& settingsPath, const char* section);

}  // namespace kordane::ui
