#pragma once
// A calendar date and time of day, as the runtime's Date values hold them.
#include <compare>

namespace platform {

struct DateTime {
  int year = 1980, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
  auto operator<=>(const DateTime&) const = default;
};

}  // namespace platform
