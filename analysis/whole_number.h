// Reading the generator's numbers (seed, tries, seconds) from text, as corvel-level and the editor both take them.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>

// The text as a whole number from `least` to `most`, written in decimal digits alone: a sign,
// an exponent or a number past the range is refused rather than wrapped or clamped.
inline std::optional<std::uint64_t> wholeNumber(std::string_view text, std::uint64_t least, std::uint64_t most) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    std::uint64_t value = 0;
    const char* const end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value < least || value > most) return std::nullopt;
    return value;
}
