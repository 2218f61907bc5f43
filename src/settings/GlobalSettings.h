// The main window's choices and place, kept in section "Main Window" of Kordane.INI beside the
// program. The mapping of keys to the window works over two small interfaces so that it runs the
// same over the real INI file and over an in-memory profile in tests.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "placement/PlacementRun.h"

namespace kordane {

namespace settings_keys {
inline constexpr const char* kFileName = "Kordane.INI";
inline constexpr const char* kSection = "Main Window";
inline constexpr const char* kLeft = "Left";
inline constexpr const char* kTop = "Top";
inline constexpr const char* kWindowState = "Window State";
inline constexpr const char* kOnTop = "On Top";
inline constexpr const char* kAlignment = "Alignment";
inline constexpr const char* kSortOrder = "Sort Order";
inline constexpr const char* kRotate = "Rotate";
inline constexpr const char* kRotation = "Rotation";
inline constexpr const char* kSpacing = "Spacing";
inline constexpr const char* kEnableSpacing = "EnableSpacing";
}  // namespace settings_keys

// A failed write: "Unable to write to <full path>".
class SettingsWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One section of an INI file.
class IProfileSection {
 public:
  virtual ~IProfileSection() = default;
  // The stored text (at most 2047 characters), or nullopt when the key is missing.
  virtual std::optional<std::string> ReadString(const char* key) = 0;
  // Throws SettingsWriteError when the file cannot be written.
  virtual void WriteString(const char* key, const std::string& value) = 0;
};

enum class TWindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// The parts of the main window that the settings load and save. Setting a check box or the
// spacing text runs the window's handlers by its own event rules.
class ISettingsTarget {
 public:
  virtual ~ISettingsTarget() = default;
  virtual int Left() const = 0;
  virtual int Top() const = 0;
  virtual void SetLeft(int left) = 0;
  virtual void SetTop(int top) = 0;
  virtual TWindowState WindowState() const = 0;
  virtual void SetWindowState(TWindowState state) = 0;
  virtual bool OnTopChecked() const = 0;
  virtual void SetOnTopChecked(bool checked) = 0;
  virtual bool HorizontalChecked() const = 0;
  // true checks rbHorizontal, false rbVertical.
  virtual void SetHorizontalChecked(bool horizontal) = 0;
  // The checked order button, or nullopt when none is checked.
  virtual std::optional<TSortOrder> SortOrderChecked() const = 0;
  virtual void SetSortOrderChecked(TSortOrder order) = 0;
  virtual bool RotateChecked() const = 0;
  virtual void SetRotateEnabled(bool on) = 0;
  virtual std::string RotationText() const = 0;
  virtual void SetRotationText(const std::string& text) = 0;
  virtual std::string SpacingText() const = 0;
  virtual void SetSpacingText(const std::string& text) = 0;
  virtual bool SpacingChecked() const = 0;
  virtual void SetSpacingEnabled(bool on) = 0;
};

class TGlobalSettings {
 public:
  explicit TGlobalSettings(ISettingsTarget& target) : target_(target) {}
  void Load(IProfileSection& profile);
  void Save(IProfileSection& profile);

 private:
  ISettingsTarget& target_;
};

}  // namespace kordane
