// Text as it arrives from outside (standard input, a file): UTF-8 or ASCII
// as it is, UTF-16 converted to UTF-8, which the ticket reader takes. A
// whole text can be decoded at once (DecodeText) or read line by line as
// its bytes arrive (LineReader), by the same rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tallyhorn {

// Appends the UTF-8 bytes of one code point; a surrogate on its own becomes
// U+FFFD.
void AppendUtf8(std::string& text, std::uint32_t code);

/*
 * UTF-16 decoded piece by piece: a code unit or a surrogate pair split
 * between two pieces is joined as if the bytes had come at once. An
 * unpaired surrogate, and an odd byte left at the end, become U+FFFD.
 */
class Utf16Decoder {
 public:
  explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}

  // Appends the UTF-8 of the bytes to text, keeping back an odd last byte
  // and a high surrogate whose partner may come in the next piece.
  void Feed(std::string_view bytes, std::string& text);

  // Appends what is still held back, as U+FFFD.
  void Finish(std::string& text);

 private:
  void Unit(std::uint32_t unit, std::string& text);

  bool bigEndian_;
  int oddByte_ = -1;          // the first byte of a split code unit, or -1
  std::uint32_t high_ = 0;    // a high surrogate waiting for its low one, or 0
};

// UTF-16 text, little- or big-endian, as UTF-8. Surrogate pairs are joined;
// an unpaired surrogate or an odd last byte becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

enum class TextEncoding { kUtf8, kUtf16Le, kUtf16Be, kUtf32 };

// The encoding, and how many bytes of byte-order mark to drop.
struct EncodingChoice {
  TextEncoding encoding = TextEncoding::kUtf8;
  std::size_t markBytes = 0;
};

// The encoding is told from this many bytes at the start of a text, so a
// text read as it arrives needs to hold back no more than that.
inline constexpr std::size_t kEncodingSampleBytes = 64 * 1024;

/*
 * The encoding of a text from its first bytes (at most
 * kEncodingSampleBytes are looked at). UTF-16 has a byte-order mark, or,
 * without one, is evidently UTF-16: its NUL bytes (the high halves of ASCII
 * characters) sit on one side of the byte pairs and make up a quarter of
 * them or more. UTF-32 is known by its byte-order mark. Anything else is
 * UTF-8 (or ASCII), taken as it is, byte-order mark and all.
 */
EncodingChoice DetectEncoding(std::string_view head);

// A text as UTF-8, or the news that it is UTF-32, which is not read.
struct DecodedText {
  std::string text;
  bool utf32 = false;
};

/*
 * The bytes as UTF-8 (or ASCII) text, the encoding told by DetectEncoding.
 * UTF-32 is refused. A stray NUL byte in UTF-8 text stays as it is and
 * shows up escaped in the message about its line.
 */
DecodedText DecodeText(std::string bytes);

// One line from a LineReader, without its line end.
struct TextLine {
  std::size_t number = 0;  // from 1
  std::string_view text;   // for a line too long, its first longestLine bytes
  bool tooLong = false;
};

/*
 * Lines of a text read as its bytes arrive, so that only the line being
 * read is held, never the whole text. Feed it the bytes piece by piece,
 * then Finish; after each call take the lines NextLine gives until it says
 * there are no more for now. The encoding is told (DetectEncoding) once the
 * first kEncodingSampleBytes have arrived, or at Finish for a shorter text.
 * The lines and their numbers are ForEachLine's for the decoded text:
 * "\n", "\r\n" or "\r" end a line, including a "\r\n" split between two
 * pieces, and a last line follows the last line end even when empty. A
 * line longer than longestLine bytes of UTF-8 is given once, marked too
 * long, with only its start kept.
 */
class LineReader {
 public:
  explicit LineReader(std::size_t longestLine) : longestLine_(longestLine) {}

  void Feed(std::string_view bytes);
  void Finish();

  // The next whole line, valid until the next call of any of the three;
  // false when no more lines are complete yet (after Finish: none remain).
  bool NextLine(TextLine& line);

  // True once the text is known to be UTF-32, which gives no lines.
  bool utf32() const { return decided_ && choice_.encoding == TextEncoding::kUtf32; }

 private:
  void Decide();
  void Decode(std::string_view bytes);

  std::size_t longestLine_;
  std::string head_;              // bytes held until the encoding is told
  bool decided_ = false;
  bool finished_ = false;
  EncodingChoice choice_;
  Utf16Decoder utf16_{false};
  std::string pending_;           // decoded text from lineStart_ on
  std::size_t lineStart_ = 0;
  bool skipLineFeed_ = false;     // the last line ended in "\r": a "\n" next is part of it
  bool overlong_ = false;         // within a line too long, dropping its bytes
  std::string longStart_;         // the kept start of that line
  std::size_t number_ = 1;
  bool lastGiven_ = false;
};

}  // namespace tallyhorn
