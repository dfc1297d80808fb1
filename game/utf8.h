// Text that windows and JSON show must be valid UTF-8, whatever bytes a level file or its name holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The length of the well-formed UTF-8 character that `text` starts with, 0 when it starts with a
// byte that begins none (or with a character cut short by the end of `text`).
std::size_t utf8CharacterLength(std::string_view text);

// `text` with every byte that is not part of a well-formed UTF-8 character replaced by U+FFFD.
std::string validUtf8(std::string_view text);
