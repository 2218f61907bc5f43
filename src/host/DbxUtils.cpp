#include "host/DbxUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>

#include "host/Conversions.h"

namespace kordane {

std::int32_t DbUnits = kUnitsUnknown;

namespace {

constexpr const char* kOutOfRange = "'%s' is out of range";

// value x factor in extended precision, rounded to nearest with halves to the even neighbour.
// shownText names the value in the error for a result that does not fit.
std::int32_t RoundScaled(double value, std::int32_t factor, const std::string& shownText) {
  if (!std::isfinite(value)) throw ConversionError(FormatUserMessage(kOutOfRange, shownText));
  const long double product = static_cast<long double>(value) * factor;
  long double rounded = std::floor(product);
  const long double fraction = product - rounded;  // exact
  if (fraction > 0.5L || (fraction == 0.5L && std::fmod(rounded, 2.0L) != 0.0L)) {
    rounded += 1.0L;
  }
  // Checked before the conversion, which would be undefined for a value that does not fit.
  if (rounded < -2147483648.0L || rounded > 2147483647.0L) {
    throw ConversionError(FormatUserMessage(kOutOfRange, shownText));
  }
  return static_cast<std::int32_t>(rounded);
}

std::int32_t RoundScaled(double value, std::int32_t factor) {
  return RoundScaled(value, factor, FloatToText(value));
}

struct StatusEntry {
  std::int32_t code;
  const char* text;
};

// Sorted by code for the binary search below.
constexpr StatusEntry kStatusTexts[] = {
    {32001, "Connection Error"},
    {32002, "Disconnect Error"},
    {32003, "Bad Server Data"},
    {32004, "Server Error"},
    {32005, "Fatal DBX Error"},
    {32006, "Version Incompatible"},
    {32007, "Client Error"},
    {32008, "Security Error"},
    {32009, "Flip Error"},
    {32010, "Rotate Error"},
    {32011, "Move Error"},
    {32012, "Highlight Error"},
    {32013, "Delete Error"},
    {32014, "Modify Error"},
    {32015, "Create Error"},
    {32016, "Database Error"},
    {32101, "Invalid Conv Handle"},
    {32102, "Server Terminated"},
    {32103, "Low Memory"},
    {32104, "Already Connected"},
    {32105, "No Connection"},
    {32106, "Server Busy"},
    {32121, "Illegal Operation"},
    {32122, "Bad Input"},
    {32123, "Array Too Small"},
    {32124, "Invalid Item ID"},
    {32141, "Item Not Found"},
    {32142, "Item Not Supported"},
    {32143, "Illegal Item"},
    {32144, "Shape Not Defined"},
    {32145, "GetFirst Not Called"},
    {32161, "No More Layers"},
    {32162, "No More Nets"},
    {32163, "No More Items"},
    {32164, "No More Net Classes"},
    {32165, "No More Class To Class Rules"},
    {32166, "No More Rooms"},
    {32167, "No More Room Points"},
    {32168, "No More Components"},
    {32170, "Invalid Angle"},
    {32171, "Invalid Highlight Color"},
    {32172, "Invalid Item Type"},
    {32173, "Invalid Justification"},
    {32174, "Invalid Layer"},
    {32175, "Invalid Location"},
    {32176, "Invalid Net Id"},
    {32177, "Invalid Netname"},
    {32178, "Invalid Padstyle"},
    {32180, "Invalid Radius"},
    {32181, "Invalid Refdes"},
    {32182, "Invalid Rotation Angle"},
    {32183, "Invalid TextStyle"},
    {32184, "Invalid Width"},
    {32185, "Invalid Layer Name"},
    {32186, "Invalid Component Name"},
    {32187, "Mismatched Part Numbers"},
    {32188, "Mismatched Pin Numbers"},
    {32189, "Mismatched Component Type"},
    {32190, "Mismatched Hetero"},
    {32191, "Invalid Line Style"},
    {32192, "Invalid Pin Length"},
    {32193, "Invalid Pin Style"},
    {32194, "Invalid Alt Type"},
    {32195, "Invalid Net Class Name"},
    {32196, "Invalid Class To Class Id"},
    {32197, "Invalid Net Class Id"},
    {32198, "Invalid Layer Id"},
    {32199, "Invalid Room Name"},
    {32200, "Invalid Attribute Value"},
    {32201, "Invalid Attribute Name"},
    {32205, "Duplicate Attribute"},
    {32206, "Duplicate Netname"},
    {32207, "Duplicate Net Class Name"},
    {32208, "Duplicate Class To Class Name"},
    {32209, "Duplicate Refdes"},
    {32215, "Component Not Found"},
    {32216, "Layer Not Found"},
    {32217, "Net Not Found"},
    {32218, "Net Not Empty"},
    {32219, "Net Exists"},
    {32220, "Net Conflict"},
    {32221, "Net Class Not Found"},
    {32222, "Net Class Not Empty"},
    {32223, "Net Class Exists"},
    {32224, "Class To Class Not Found"},
    {32225, "Room Not Found"},
    {32230, "Component Cache Conflict"},
    {32231, "Library Not Open"},
    {32232, "Item Outside Workspace"},
    {32233, "No Attached Pattern"},
    {32234, "Too Few Pins"},
    {32235, "Pindes Not Found"},
    {32236, "Name Too LongInt"},
    {32237, "Print Job Not Found"},
    {32238, "No Print Jobs Selected"},
    {32239, "Unable to open file"},
    {32250, "Invalid Library Name"},
    {32251, "Unable to open Library"},
    {32252, "Component Already Open"},
    {32253, "Open Component Not Called"},
    {32254, "Save Component Failed"},
    {32255, "Library is READ Only"},
    {32256, "Save Symbol Failed"},
    {32257, "Save Pattern Failed"},
    {32258, "Internal Parameter Error"},
    {32279, "Invalid Pin Number"},
};

static_assert(std::ranges::is_sorted(kStatusTexts, {}, &StatusEntry::code));

}  // namespace

std::int32_t ToDbUnits(double value) {
  return ToDbUnits(value, DbUnits);
}

std::int32_t ToDbUnits(double value, std::int32_t units) {
  switch (units) {
    case kUnitsMils:
      return RoundScaled(value, kDbPerMil);
    case kUnitsMm:
      return RoundScaled(value, kDbPerMm);
    default:
      return RoundScaled(value, 1);
  }
}

std::int32_t MilsToDb(double value) {
  return RoundScaled(value, kDbPerMil);
}

std::int32_t MmToDb(double value) {
  return RoundScaled(value, kDbPerMm);
}

std::int32_t MilsTextToDb(const std::string& text) {
  return RoundScaled(ParseFloat(text), kDbPerMil, text);
}

std::int32_t MmTextToDb(const std::string& text) {
  return RoundScaled(ParseFloat(text), kDbPerMm, text);
}

std::string DbToMilsText(std::int32_t db) {
  return FloatToText(static_cast<double>(db) / kDbPerMil);
}

std::string DbToMmText(std::int32_t db) {
  return FloatToText(static_cast<double>(db) / kDbPerMm);
}

std::string DbxStatusText(std::int32_t status) {
  if (status == 0) return "Status: OK";
  const auto* entry = std::ranges::lower_bound(kStatusTexts, status, {}, &StatusEntry::code);
  if (entry != std::ranges::end(kStatusTexts) && entry->code == status) return entry->text;
  return "Status: " + std::to_string(status);
}

}  // namespace kordane
