// Text from outside: the encoding told from its start, and its lines read
// as the bytes arrive, however the bytes are cut into pieces.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "calc/text.h"
#include "calc/ticket_read.h"

namespace tallyhorn {
namespace {

// The UTF-8 text as UTF-16, little- or big-endian, with or without a
// byte-order mark.
std::string Utf16(const std::u16string& text, bool bigEndian, bool mark) {
  std::string bytes;
  const auto unit = [&bytes, bigEndian](char16_t c) {
    const auto high = static_cast<char>(c >> 8);
    const auto low = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  };
  if (mark) unit(0xFEFF);
  for (char16_t c : text) unit(c);
  return bytes;
}

// A line as a test sees it: number, text and whether it was too long.
using Line = std::tuple<std::size_t, std::string, bool>;

// The lines a LineReader gives for the bytes cut at the given points.
std::vector<Line> ReadInPieces(const std::string& bytes, const std::vector<std::size_t>& cuts,
                               std::size_t longest = 1000) {
  LineReader reader(longest);
  std::vector<Line> lines;
  const auto take = [&] {
    TextLine line;
    while (reader.NextLine(line)) lines.emplace_back(line.number, std::string(line.text), line.tooLong);
  };
  std::size_t from = 0;
  for (std::size_t cut : cuts) {
    reader.Feed(std::string_view(bytes).substr(from, cut - from));
    take();
    from = cut;
  }
  reader.Feed(std::string_view(bytes).substr(from));
  take();
  reader.Finish();
  take();
  return lines;
}

// The lines of the whole text decoded at once.
std::vector<Line> WholeLines(const std::string& bytes) {
  std::vector<Line> lines;
  ForEachLine(DecodeText(bytes).text,
              [&lines](std::size_t number, std::string_view line) { lines.emplace_back(number, std::string(line), false); });
  return lines;
}

// Line ends of every kind, a "\r\n" and a surrogate pair that any cut may
// split, in UTF-8 and in UTF-16 of both byte orders, with and without a
// mark: every cut into two pieces, and one byte at a time, gives the lines
// and numbers of the whole text decoded at once.
TEST(LineReader, GivesTheSameLinesHoweverTheBytesArrive) {
  const std::u16string text = u"# \u011A \U0001F600 \u0A0D\r\n$1 Exacta: 1/2\r\rlast\n\r\n\xD800x";
  const std::vector<std::pair<std::string, std::string>> inputs = {
      {"utf8", "\xEF\xBB\xBF# \xC4\x9A\r\n$1 Exacta: 1/2\r\rlast\n\x1A\r\n"},
      {"utf8 ending in cr", "a\r\nb\r"},
      {"utf16le mark", Utf16(text, false, true)},
      {"utf16be mark", Utf16(text, true, true)},
      {"utf16le", Utf16(text, false, false)},
      {"utf16be odd byte", Utf16(text, true, false) + "!"},
      {"empty", ""},
  };
  for (const auto& [name, bytes] : inputs) {
    const std::vector<Line> whole = WholeLines(bytes);
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
      EXPECT_EQ(ReadInPieces(bytes, {cut}), whole) << name << " cut at " << cut;
    }
    std::vector<std::size_t> everyByte;
    for (std::size_t cut = 1; cut < bytes.size(); ++cut) everyByte.push_back(cut);
    EXPECT_EQ(ReadInPieces(bytes, everyByte), whole) << name << " one byte at a time";
  }
}

// The encoding is told from the first 64 KiB, not from the first piece: a
// piece of one byte does not make UTF-16 read as UTF-8. A text whose first
// 64 KiB are plain ASCII stays UTF-8 whatever comes later.
TEST(LineReader, TellsTheEncodingFromTheStart) {
  std::u16string longText;
  while (longText.size() < kEncodingSampleBytes) longText += u"$1 Exacta: 1/2\r\n";
  const std::string utf16 = Utf16(longText, false, false);
  const std::vector<Line> lines = ReadInPieces(utf16, {1, 2, 3, 1000, 70000});
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), Line(1, "$1 Exacta: 1/2", false));
  EXPECT_EQ(lines.size(), longText.size() / 16 + 1);
  EXPECT_EQ(lines, WholeLines(utf16));

  const std::string mixed = std::string(kEncodingSampleBytes, '#') + "\n" + Utf16(u"$1 Exacta: 1/2", false, false);
  const std::vector<Line> mixedLines = ReadInPieces(mixed, {10}, 2 * kEncodingSampleBytes);
  ASSERT_EQ(mixedLines.size(), 2u);
  EXPECT_EQ(std::get<1>(mixedLines.back()), Utf16(u"$1 Exacta: 1/2", false, false));
  EXPECT_TRUE(mixedLines == WholeLines(mixed));

  LineReader reader(100);
  reader.Feed(std::string("\xFF\xFE\0\0$\0\0\0", 8));
  reader.Finish();
  EXPECT_TRUE(reader.utf32());
  TextLine line;
  EXPECT_FALSE(reader.NextLine(line));
}

// A line longer than the limit is given once, marked, with its start kept
// and the rest dropped, whether its end comes in the same piece, a later
// one, or never; the lines after it keep their numbers.
TEST(LineReader, MarksALineTooLong) {
  const std::string bytes = "12345678\r\n123456789\r\n" + std::string(50, 'x') + "\r\nok\r\n" + std::string(30, 'y');
  const std::vector<Line> expected = {
      {1, "12345678", false}, {2, "12345678", true}, {3, "xxxxxxxx", true}, {4, "ok", false}, {5, "yyyyyyyy", true},
  };
  EXPECT_EQ(ReadInPieces(bytes, {}, 8), expected);
  EXPECT_EQ(ReadInPieces(bytes, {5, 20, 25, 40, 80}, 8), expected);
  std::vector<std::size_t> everyByte;
  for (std::size_t cut = 1; cut < bytes.size(); ++cut) everyByte.push_back(cut);
  EXPECT_EQ(ReadInPieces(bytes, everyByte, 8), expected);
}

}  // namespace
}  // namespace tallyhorn
