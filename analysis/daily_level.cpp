// The daily level's rule: the date read and checked, its seeds, and the command that makes it again.
#include "analysis/daily_level.h"

#include <cstdio>

#include "game/level_text.h"

namespace {

constexpr std::string_view kDateForm = "YYYY-MM-DD";

bool leapYear(std::int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::int32_t daysInMonth(std::int32_t year, std::int32_t month) {
    constexpr std::int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : kDays[month - 1];
}

// The digits of text[from, from + count) as a number; the caller has checked they are digits.
std::int32_t digitsAt(std::string_view text, std::size_t from, std::size_t count) {
    std::int32_t value = 0;
    for (char c : text.substr(from, count)) value = value * 10 + (c - '0');
    return value;
}

bool writtenAsDate(std::string_view text) {
    if (text.size() != kDateForm.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kDateForm[i] == '-' ? text[i] != '-' : !digit) return false;
    }
    return true;
}

std::uint64_t firstSeed(DailyDate date) {
    return static_cast<std::uint64_t>(date.year) * 10000 + static_cast<std::uint64_t>(date.month) * 100 +
           static_cast<std::uint64_t>(date.day);
}

}  // namespace

std::variant<DailyDate, std::string> readDailyDate(std::string_view text) {
    if (!writtenAsDate(text)) return "a date is written " + std::string(kDateForm) + ", as 2026-12-10";
    const DailyDate date{digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2)};
    const std::string written(text);
    if (date.year < kFirstDailyYear || date.year > kLastDailyYear)
        return "there are daily levels for the years " + std::to_string(kFirstDailyYear) + " to " +
               std::to_string(kLastDailyYear) + ", not for " + written;
    if (date.month < 1 || date.month > 12) return written + " is not a date: a year has months 01 to 12";
    const std::int32_t days = daysInMonth(date.year, date.month);
    if (date.day < 1 || date.day > days)
        return written + " is not a date: that month has days 01 to " + std::to_string(days);
    return date;
}

std::string dailyDateText(DailyDate date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(date.year), static_cast<int>(date.month),
                  static_cast<int>(date.day));
    return text;
}

GenerateRequest dailyRequest(DailyDate date, std::int32_t attempt) {
    GenerateRequest request;
    request.width = kDailyWidth;
    request.height = kDailyHeight;
    request.method = GenerateMethod::Search;
    request.tries = kDailyTries;
    request.seed = firstSeed(date) + static_cast<std::uint64_t>(attempt) * kDailySeedStep;
    return request;
}

std::variant<DailyLevel, std::string> dailyLevel(DailyDate date) {
    std::optional<DailyLevel> best;
    for (std::int32_t attempt = 0; attempt < kDailySeeds; ++attempt) {
        const GenerateRequest request = dailyRequest(date, attempt);
        std::optional<GeneratedLevel> level = generateLevel(request);
        if (!level || (best && level->shortestWin <= best->level.shortestWin)) continue;
        best = DailyLevel{*level, request, levelText(level->maze), dailyCommand(date, request)};
        if (level->shortestWin >= kDailyShortestWin) break;
    }
    if (!best) return "no level was found for " + dailyDateText(date);
    return *best;
}

std::string dailyCommand(DailyDate date, const GenerateRequest& request) {
    return "corvel-level generate daily-" + dailyDateText(date) + ".dat --width " + std::to_string(request.width) +
           " --height " + std::to_string(request.height) + " --method search --seed " + std::to_string(request.seed) +
           " --tries " + std::to_string(request.tries);
}
