// The daily level: one level for every player on a UTC day, made by the searching generator from a
// seed the date gives, so that anyone can make the same file again with corvel-level generate.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "analysis/generator.h"

// Every daily level is a 6 x 6 board searched for this many tries (a fraction of a second natively).
inline constexpr std::int32_t kDailyWidth = 6;
inline constexpr std::int32_t kDailyHeight = 6;
inline constexpr std::int64_t kDailyTries = 300;
// A day's level is a real puzzle: its shortest win takes at least this many keys. A seed whose
// level falls short gives way to the next, at most kDailySeeds seeds in all.
inline constexpr std::int32_t kDailyShortestWin = 40;
inline constexpr std::int32_t kDailySeeds = 8;
// The next seed adds this to the last: more than any date's own seed YYYYMMDD, so no later seed
// of one day is another day's first.
inline constexpr std::uint64_t kDailySeedStep = 100'000'000;
// The days there are daily levels for.
inline constexpr std::int32_t kFirstDailyYear = 2000;
inline constexpr std::int32_t kLastDailyYear = 9999;

struct DailyDate {
    std::int32_t year = 0;
    std::int32_t month = 0;  // 1 to 12
    std::int32_t day = 0;    // 1 to the month's length
};

// "YYYY-MM-DD" read as a real calendar date from kFirstDailyYear to kLastDailyYear, or why not,
// for people.
std::variant<DailyDate, std::string> readDailyDate(std::string_view text);

// "YYYY-MM-DD".
std::string dailyDateText(DailyDate date);

// The generator's request for the day's attempt-th seed (from 0): seed YYYYMMDD, then each next
// seed kDailySeedStep more.
GenerateRequest dailyRequest(DailyDate date, std::int32_t attempt);

struct DailyLevel {
    GeneratedLevel level;
    GenerateRequest request;  // the request that made it
    std::string text;         // the level file
    std::string command;      // the corvel-level command line that writes the same file
};

// The day's level: the first of its seeds whose shortest win takes at least kDailyShortestWin keys;
// when none of the kDailySeeds does, the longest of them (the first among equals). As every
// generated level, walking a shortest path to the exit while ignoring the Brugak loses. Why there
// is none, for people, when no seed gave a level at all.
std::variant<DailyLevel, std::string> dailyLevel(DailyDate date);

// corvel-level generate daily-YYYY-MM-DD.dat --width W --height H --method search --seed N --tries T
std::string dailyCommand(DailyDate date, const GenerateRequest& request);
