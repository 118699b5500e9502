// Text as it arrives from outside (standard input, a file): UTF-8 or ASCII
// as it is, UTF-16 converted to UTF-8, which the ticket reader takes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallyhorn {

// Appends the UTF-8 bytes of one code point; a surrogate on its own becomes
// U+FFFD.
void AppendUtf8(std::string& text, std::uint32_t code);

// UTF-16 text, little- or big-endian, as UTF-8. Surrogate pairs are joined;
// an unpaired surrogate or an odd last byte becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// A text as UTF-8, or the news that it is UTF-32, which is not read.
struct DecodedText {
  std::string text;
  bool utf32 = false;
};

/*
 * The bytes as UTF-8 (or ASCII) text. UTF-16 is converted: with a
 * byte-order mark, or without one when it is evidently UTF-16, that is, its
 * NUL bytes (the high halves of ASCII characters) sit on one side of the
 * byte pairs and make up a quarter of them or more. UTF-32, known by its
 * byte-order mark, is refused. Anything else is taken as it is; a stray NUL
 * byte shows up escaped in the message about its line.
 */
DecodedText DecodeText(std::string bytes);

}  // namespace tallyhorn
