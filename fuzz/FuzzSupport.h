// What every fuzz target shares: a check that stops the run with a message libFuzzer keeps beside
// the crashing input, and choices that favour the values where programs tend to break.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace kordane::fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const char* condition,
                              const std::string& message) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n  %s\n", file, line, condition,
               message.c_str());
  std::abort();  // libFuzzer saves the input as a crash artifact
}

// The message is built only when the invariant is broken.
#define FUZZ_CHECK(condition, message)                                  \
  do {                                                                  \
    if (!(condition)) {                                                 \
      ::kordane::fuzz::Fail(__FILE__, __LINE__, #condition, (message)); \
    }                                                                   \
  } while (false)

// A text in quotes with every byte outside printable ASCII as \xNN, for messages.
inline std::string Shown(const std::string& text) {
  std::string shown = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      shown += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
    }
  }
  return shown + "\"";
}

// A 32-bit value, mostly from near the places where arithmetic on it can go wrong.
inline std::int32_t Int32Near(FuzzedDataProvider& data, std::int32_t typical) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  switch (data.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
      return typical;
    case 1:
      return data.ConsumeIntegralInRange<std::int32_t>(-1000, 1000);
    case 2:
      return data.ConsumeIntegralInRange<std::int32_t>(kMin, kMin + 1000);
    case 3:
      return data.ConsumeIntegralInRange<std::int32_t>(kMax - 1000, kMax);
    case 4:
      return data.ConsumeIntegralInRange<std::int32_t>(-3'000'000, 3'000'000);
    default:
      return data.ConsumeIntegral<std::int32_t>();
  }
}

// Status codes of the host: mostly success, else a listed one, one in a gap of the table, a
// negative one or any at all.
inline std::int32_t HostStatus(FuzzedDataProvider& data, int successWeight) {
  const int pick = data.ConsumeIntegralInRange<int>(0, successWeight + 4);
  if (pick < successWeight) return 0;
  switch (pick - successWeight) {
    case 0: {
      static constexpr std::int32_t kListed[] = {32001, 32010, 32011, 32105, 32163, 32215, 32279};
      return kListed[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kListed) - 1)];
    }
    case 1:
      return data.ConsumeIntegralInRange<std::int32_t>(32017, 32100);  // a gap of the table
    case 2:
      return data.ConsumeIntegralInRange<std::int32_t>(std::numeric_limits<std::int32_t>::min(),
                                                       -1);
    default:
      return data.ConsumeIntegral<std::int32_t>();
  }
}

// One of the given texts, or a short text of any bytes.
inline std::string TextFrom(FuzzedDataProvider& data, const std::vector<std::string>& typical,
                            std::size_t maxLength) {
  const std::size_t pick = data.ConsumeIntegralInRange<std::size_t>(0, typical.size());
  if (pick < typical.size()) return typical[pick];
  return data.ConsumeRandomLengthString(maxLength);
}

}  // namespace kordane::fuzz
