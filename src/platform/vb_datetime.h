#pragma once
// Date and time of the program's language runtime: an injectable clock
// (Date, Time, Now), Format with date and time patterns and CDate of texts.
#include <functional>
#include <string>
#include <string_view>

#include "platform/datetime.h"

namespace platform::vb {

// The clock that Date, Time and Now read: the host's local time unless a
// test sets its own; setClock({}) puts the host's clock back.
using Clock = std::function<DateTime()>;
void setClock(Clock clock);

DateTime now();
DateTime date();  // today, at midnight
DateTime time();  // the time of day, on the runtime's day zero (30 Dec 1899)

// Format(value, pattern) for dates and times. Pattern letters: d dd ddd dddd
// (day, two-digit day, "Mon", "Monday"), m mm mmm mmmm (month; after h or
// before s they are minutes), yy yyyy, h hh, n nn (minutes), s ss, AM/PM and
// am/pm (12-hour clock); "/" ":" "-" "." blanks and other characters stand as
// they are; "\x" and "text in quotes" are literal. The named forms follow
// the machine's regional settings, day first with a 24-hour clock:
// "Short Date" dd/mm/yyyy, "Long Time" hh:nn:ss, "Short Time" hh:nn and
// "General Date" (the short date and the long time, each only when not zero).
std::string format(const DateTime& value, std::string_view pattern);

// CStr of a date or time: the date part in short date form, the time part in
// long time form, each left out when it is zero ("14:35:12", "09/12/2026").
std::string cStr(const DateTime& value);

// CDate of a text: "h:nn[:ss]", "d.m.yyyy", "d/m/yyyy", "yyyy-mm-dd" and a
// date followed by a time. Error 13 for anything else or an invalid date.
DateTime cDate(std::string_view text);

int weekday(const DateTime& value);  // 1 = Sunday ... 7 = Saturday
bool isValidDate(int year, int month, int day);

}  // namespace platform::vb
