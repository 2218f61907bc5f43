// The settings mapping over a profile of any stored values, loaded into the main
// window's behaviour over controls in their design-time state: the load never fails and leaves
// the controls as the table says; the save writes exactly the section's keys, each once and in
// order, with values of their kinds; and what was saved loads back to the same window.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "ReferenceModels.h"
#include "settings/GlobalSettings.h"
#include "ui/MainFormLogic.h"

namespace kordane::fuzz {
namespace {

namespace keys = settings_keys;

constexpr std::size_t kControlCount = static_cast<std::size_t>(TControl::lUnits) + 1;

// The window's controls, as the Win32 window keeps them, with a guard against handlers that
// keep calling each other.
class Controls : public IMainFormControls {
 public:
  Controls() {
    checked[Index(TControl::rbHorizontal)] = true;
    checked[Index(TControl::rbUp)] = true;
    text[Index(TControl::eSpacing)] = "0";
    text[Index(TControl::lUnits)] = "Unit";
  }

  bool Checked(TControl control) const override { return checked[Index(control)]; }
  void SetChecked(TControl control, bool on) override {
    Count();
    checked[Index(control)] = on;
  }
  std::string Text(TControl control) const override { return text[Index(control)]; }
  void SetText(TControl control, const std::string& value) override {
    Count();
    text[Index(control)] = value;
  }
  void SetTextColour(TControl control, std::optional<std::uint32_t> value) override {
    Count();
    FUZZ_CHECK(!value || *value == kGreyTextColour, "a colour other than grey");
    colour[Index(control)] = value;
  }
  void SetTopMost(bool topMost) override {
    Count();
    topMostCalls.push_back(topMost);
  }
  int Left() const override { return left; }
  int Top() const override { return top; }
  void SetLeft(int value) override { left = value; }
  void SetTop(int value) override { top = value; }
  TWindowState WindowState() const override { return state; }
  void SetWindowState(TWindowState value) override { state = value; }

  static std::size_t Index(TControl control) { return static_cast<std::size_t>(control); }

  std::array<bool, kControlCount> checked{};
  std::array<std::string, kControlCount> text{};
  std::array<std::optional<std::uint32_t>, kControlCount> colour{};
  std::vector<bool> topMostCalls;
  int left = 744;
  int top = 108;
  TWindowState state = TWindowState::Normal;

 private:
  void Count() { FUZZ_CHECK(++changes_ < 10000, "endless handler calls"); }
  int changes_ = 0;
};

// A profile section that records its writes.
class Profile : public IProfileSection {
 public:
  std::optional<std::string> ReadString(const char* key) override {
    const auto found = values.find(key);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
  void WriteString(const char* key, const std::string& value) override {
    writes.emplace_back(key, value);
    values[key] = value;
  }

  std::map<std::string, std::string> values;
  std::vector<std::pair<std::string, std::string>> writes;
};

// The settings file's reading of one key.
std::int32_t StoredInteger(const Profile& profile, const char* key, std::int32_t fallback) {
  const auto found = profile.values.find(key);
  if (found == profile.values.end()) return fallback;
  return model::ParseInt(found->second).value_or(fallback);
}

bool StoredBoolean(const Profile& profile, const char* key, bool fallback) {
  return StoredInteger(profile, key, fallback ? 1 : 0) != 0;
}

std::string StoredText(const Profile& profile, const char* key, const char* fallback) {
  const auto found = profile.values.find(key);
  return found == profile.values.end() ? fallback : found->second;
}

// The window after a load, as the table of keys gives it.
void CheckLoaded(const Controls& c, const Profile& profile) {
  FUZZ_CHECK(c.left == StoredInteger(profile, keys::kLeft, 50), "Left");
  FUZZ_CHECK(c.top == StoredInteger(profile, keys::kTop, 50), "Top");
  // Only the low 8 bits count; other values than 0 to 2 are the implementer's: normal.
  const auto lowByte =
      static_cast<std::uint32_t>(StoredInteger(profile, keys::kWindowState, 0)) & 0xFFu;
  const TWindowState state = lowByte == 1   ? TWindowState::Minimized
                             : lowByte == 2 ? TWindowState::Maximized
                                            : TWindowState::Normal;
  FUZZ_CHECK(c.state == state, "Window State");

  const bool onTop = StoredBoolean(profile, keys::kOnTop, true);
  FUZZ_CHECK(c.checked[Controls::Index(TControl::cbOnTop)] == onTop, "On Top");
  FUZZ_CHECK(c.topMostCalls == (onTop ? std::vector<bool>{true} : std::vector<bool>{}),
             "stay-on-top calls");

  const bool horizontal = StoredBoolean(profile, keys::kAlignment, true);
  FUZZ_CHECK(c.checked[Controls::Index(TControl::rbHorizontal)] == horizontal &&
                 c.checked[Controls::Index(TControl::rbVertical)] == !horizontal,
             "Alignment");

  const std::int32_t order = StoredInteger(profile, keys::kSortOrder, 0);
  FUZZ_CHECK(c.checked[Controls::Index(TControl::rbUp)] == (order == 0) &&
                 c.checked[Controls::Index(TControl::rbDown)] == (order == 1) &&
                 c.checked[Controls::Index(TControl::rbNone)] == (order != 0 && order != 1),
             "Sort Order");

  const bool rotate = StoredBoolean(profile, keys::kRotate, true);
  FUZZ_CHECK(c.checked[Controls::Index(TControl::cbDoRotate)] == rotate, "Rotate");
  FUZZ_CHECK(c.colour[Controls::Index(TControl::cbRotation)].has_value() == !rotate,
             "rotation text colour");
  FUZZ_CHECK(
      c.text[Controls::Index(TControl::cbRotation)] == StoredText(profile, keys::kRotation, "0"),
      "Rotation");

  FUZZ_CHECK(
      c.text[Controls::Index(TControl::eSpacing)] == StoredText(profile, keys::kSpacing, "200"),
      "Spacing");
  const bool spacing = StoredBoolean(profile, keys::kEnableSpacing, true);
  FUZZ_CHECK(c.checked[Controls::Index(TControl::cbDoSpace)] == spacing, "EnableSpacing");
  FUZZ_CHECK(c.colour[Controls::Index(TControl::eSpacing)].has_value() == !spacing,
             "spacing text colour");
  FUZZ_CHECK(c.text[Controls::Index(TControl::lUnits)] == "Unit", "the unit label");
}

std::string Decimal(std::int32_t value) {
  return std::to_string(value);
}

std::string Flag(bool on) {
  return on ? "1" : "0";
}

// The save: the section's own keys in the save's order, each value of its kind.
void CheckSaved(const Controls& c, const Profile& profile) {
  std::vector<std::pair<std::string, std::string>> expected;
  const std::string state = c.state == TWindowState::Minimized   ? "1"
                            : c.state == TWindowState::Maximized ? "2"
                                                                 : "0";
  expected.emplace_back(keys::kWindowState, state);
  if (c.state == TWindowState::Normal) {
    expected.emplace_back(keys::kLeft, Decimal(c.left));
    expected.emplace_back(keys::kTop, Decimal(c.top));
  }
  const auto on = [&c](TControl control) { return c.checked[Controls::Index(control)]; };
  expected.emplace_back(keys::kOnTop, Flag(on(TControl::cbOnTop)));
  expected.emplace_back(keys::kAlignment, Flag(on(TControl::rbHorizontal)));
  if (on(TControl::rbUp)) expected.emplace_back(keys::kSortOrder, "0");
  if (on(TControl::rbDown)) expected.emplace_back(keys::kSortOrder, "1");
  if (on(TControl::rbNone)) expected.emplace_back(keys::kSortOrder, "2");
  expected.emplace_back(keys::kRotate, Flag(on(TControl::cbDoRotate)));
  expected.emplace_back(keys::kRotation, c.text[Controls::Index(TControl::cbRotation)]);
  expected.emplace_back(keys::kSpacing, c.text[Controls::Index(TControl::eSpacing)]);
  expected.emplace_back(keys::kEnableSpacing, Flag(on(TControl::cbDoSpace)));
  std::string shown;
  for (const auto& [key, value] : profile.writes) shown += "\n    " + key + "=" + Shown(value);
  FUZZ_CHECK(profile.writes == expected, "save wrote:" + shown);
}

bool SameWindow(const Controls& a, const Controls& b) {
  return a.checked == b.checked && a.text == b.text && a.colour == b.colour &&
         a.topMostCalls == b.topMostCalls && a.left == b.left && a.top == b.top &&
         a.state == b.state;
}

// A stored value: one typical of its kind, or any bytes up to the profile's 2047 characters. A
// profile value is a NUL-terminated string, so it holds no NUL.
std::string StoredValue(FuzzedDataProvider& data, bool integer) {
  static const std::vector<std::string> kIntegers = {
      "0",  "1",  "2", "-1",   "$FF",       "0x102",      "2147483647", "-2147483648", "2147483648",
      " 7", "7 ", "",  "true", "$FFFFFFFF", "$100000000", "x7FFFFFFF",  "258",         "-254"};
  static const std::vector<std::string> kTexts = {"0",   "200",      "90",  "",     "abc",
                                                  " 12", "\"5.08\"", "1,5", "-45 ", "1E400"};
  std::string value = TextFrom(data, integer ? kIntegers : kTexts, data.ConsumeBool() ? 12 : 2047);
  value.erase(std::find(value.begin(), value.end(), '\0'), value.end());
  return value;
}

}  // namespace
}  // namespace kordane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kordane;
  using namespace kordane::fuzz;
  FuzzedDataProvider input(data, size);

  Profile stored;
  const std::pair<const char*, bool> kKeys[] = {
      {keys::kLeft, true},          {keys::kTop, true},       {keys::kWindowState, true},
      {keys::kOnTop, true},         {keys::kAlignment, true}, {keys::kSortOrder, true},
      {keys::kRotate, true},        {keys::kRotation, false}, {keys::kSpacing, false},
      {keys::kEnableSpacing, true}, {"Other Key", false},     {"left", true}};
  for (const auto& [key, integer] : kKeys) {
    if (input.ConsumeBool()) stored.values[key] = StoredValue(input, integer);
  }

  Controls controls;
  TfrmMainLogic window(controls);
  TGlobalSettings settings(window);
  try {
    settings.Load(stored);
  } catch (const std::exception& error) {
    Fail(__FILE__, __LINE__, "load never fails", error.what());
  }
  CheckLoaded(controls, stored);

  // Saved into the same file, as the program does: the other keys stay as they were.
  Profile saved = stored;
  settings.Save(saved);
  CheckSaved(controls, saved);
  for (const auto& [name, value] : stored.values) {
    const std::string& key = name;
    const bool own = std::any_of(std::begin(kKeys), std::begin(kKeys) + 10,
                                 [&key](const auto& k) { return key == k.first; });
    FUZZ_CHECK(own || saved.values.at(key) == value, "save changed " + key);
  }

  // What was saved loads back to the same window, and saves the same again.
  Controls again;
  TfrmMainLogic windowAgain(again);
  TGlobalSettings settingsAgain(windowAgain);
  settingsAgain.Load(saved);
  FUZZ_CHECK(SameWindow(controls, again), "the saved settings load to another window");
  Profile savedAgain = saved;
  savedAgain.writes.clear();
  settingsAgain.Save(savedAgain);
  FUZZ_CHECK(savedAgain.writes == saved.writes, "a second save differs");
  return 0;
}
