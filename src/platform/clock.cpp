#include "platform/clock.h"

#include <ctime>

namespace orv {
namespace {

bool LeapYear(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int64_t year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && LeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = int(doy - (153 * mp + 2) / 5 + 1);
  m = int(mp < 10 ? mp + 3 : mp - 9);
  y = yoe + era * 400 + (m <= 2);
}

// Reads exactly `digits` decimal digits at text[at].
bool Digits(std::string_view text, size_t at, size_t digits, int& out) {
  if (at + digits > text.size()) return false;
  out = 0;
  for (size_t i = at; i < at + digits; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    out = out * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

LocalTime Clock::LocalNow() { return SystemLocalTime(); }

LocalTime SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  if (localtime_r(&now, &parts) == nullptr) return LocalTime{};
  return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

std::optional<LocalTime> ParseLocalTime(std::string_view text) {
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' || text[16] != ':')
    return std::nullopt;
  LocalTime t;
  if (!Digits(text, 0, 4, t.year) || !Digits(text, 5, 2, t.month) || !Digits(text, 8, 2, t.day) ||
      !Digits(text, 11, 2, t.hour) || !Digits(text, 14, 2, t.minute) || !Digits(text, 17, 2, t.second))
    return std::nullopt;
  if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month) || t.hour > 23 ||
      t.minute > 59 || t.second > 59)
    return std::nullopt;
  return t;
}

int64_t SecondsSinceEpoch(const LocalTime& time) {
  return DaysFromCivil(time.year, time.month, time.day) * 86400 + int64_t{time.hour} * 3600 +
         int64_t{time.minute} * 60 + time.second;
}

LocalTime AddSeconds(const LocalTime& time, int64_t seconds) {
  const int64_t total = SecondsSinceEpoch(time) + seconds;
  int64_t days = total / 86400, rest = total % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  LocalTime out;
  int64_t year = 0;
  CivilFromDays(days, year, out.month, out.day);
  out.year = int(year);
  out.hour = int(rest / 3600);
  out.minute = int(rest / 60 % 60);
  out.second = int(rest % 60);
  return out;
}

}  // namespace orv
