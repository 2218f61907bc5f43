// Units of the design and the conversion of user numbers into the host's database units,
// and the status-line texts of the library's status codes.
#pragma once

#include <cstdint>
#include <string>

namespace kordane {

inline constexpr std::int32_t kDbPerMil = 2540;
inline constexpr std::int32_t kDbPerMm = 100000;

// Units code of the spacing entry: -1 until learned, 1 mils, 2 millimetres; any other value
// converts as if unknown.
inline constexpr std::int32_t kUnitsUnknown = -1;
inline constexpr std::int32_t kUnitsMils = 1;
inline constexpr std::int32_t kUnitsMm = 2;
extern std::int32_t DbUnits;

// value x factor, formed in extended precision and rounded half to even. A result that does not
// fit a signed 32-bit integer throws ConversionError "'<float text of value>' is out of range".
std::int32_t ToDbUnits(double value);
// The same in the given units code rather than DbUnits.
std::int32_t ToDbUnits(double value, std::int32_t units);
std::int32_t MilsToDb(double value);
std::int32_t MmToDb(double value);

// Parse, then scale. Throws ConversionError for a text that does not parse and
// "'<text>' is out of range" for a result that does not fit.
std::int32_t MilsTextToDb(const std::string& text);
std::int32_t MmTextToDb(const std::string& text);

std::string DbToMilsText(std::int32_t db);
std::string DbToMmText(std::int32_t db);

// "Status: OK" for 0, the table's text for a listed code, "Status: <code>" otherwise.
std::string DbxStatusText(std::int32_t status);

}  // namespace kordane
