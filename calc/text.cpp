#include "calc/text.h"

#include <algorithm>
#include <cstdint>

namespace tallyhorn {

void AppendUtf8(std::string& text, std::uint32_t code) {
  if (code >= 0xD800 && code <= 0xDFFF) code = 0xFFFD;
  const auto byte = [&text](std::uint32_t value) { text += static_cast<char>(static_cast<unsigned char>(value)); };
  if (code < 0x80) {
    byte(code);
  } else if (code < 0x800) {
    byte(0xC0 | (code >> 6));
    byte(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    byte(0xE0 | (code >> 12));
    byte(0x80 | ((code >> 6) & 0x3F));
    byte(0x80 | (code & 0x3F));
  } else {
    byte(0xF0 | (code >> 18));
    byte(0x80 | ((code >> 12) & 0x3F));
    byte(0x80 | ((code >> 6) & 0x3F));
    byte(0x80 | (code & 0x3F));
  }
}

// One code unit after the ones before it: a high surrogate waits for the
// next unit; a low one joins it, anything else leaves it unpaired.
void Utf16Decoder::Unit(std::uint32_t unit, std::string& text) {
  if (high_ != 0) {
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      AppendUtf8(text, 0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00));
      high_ = 0;
      return;
    }
    AppendUtf8(text, 0xFFFD);
    high_ = 0;
  }
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    high_ = unit;
  } else {
    AppendUtf8(text, unit);
  }
}

void Utf16Decoder::Feed(std::string_view bytes, std::string& text) {
  std::size_t at = 0;
  const auto unitOf = [this](unsigned first, unsigned second) -> std::uint32_t {
    return bigEndian_ ? (std::uint32_t{first} << 8 | second) : (std::uint32_t{second} << 8 | first);
  };
  if (oddByte_ >= 0 && !bytes.empty()) {
    Unit(unitOf(static_cast<unsigned>(oddByte_), static_cast<unsigned char>(bytes[0])), text);
    oddByte_ = -1;
    at = 1;
  }
  for (; at + 1 < bytes.size(); at += 2) {
    Unit(unitOf(static_cast<unsigned char>(bytes[at]), static_cast<unsigned char>(bytes[at + 1])), text);
  }
  if (at < bytes.size()) oddByte_ = static_cast<unsigned char>(bytes[at]);
}

void Utf16Decoder::Finish(std::string& text) {
  if (high_ != 0) AppendUtf8(text, 0xFFFD);
  if (oddByte_ >= 0) AppendUtf8(text, 0xFFFD);
  high_ = 0;
  oddByte_ = -1;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string text;
  text.reserve(bytes.size() / 2);
  Utf16Decoder decoder(bigEndian);
  decoder.Feed(bytes, text);
  decoder.Finish(text);
  return text;
}

EncodingChoice DetectEncoding(std::string_view head) {
  head = head.substr(0, std::min(head.size(), kEncodingSampleBytes));
  if (head.starts_with(std::string_view("\xFF\xFE\0\0", 4)) || head.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
    return {TextEncoding::kUtf32, 4};
  }
  if (head.starts_with("\xFF\xFE")) return {TextEncoding::kUtf16Le, 2};
  if (head.starts_with("\xFE\xFF")) return {TextEncoding::kUtf16Be, 2};
  std::size_t nulEven = 0;
  std::size_t nulOdd = 0;
  for (std::size_t at = 0; at < head.size(); ++at) {
    if (head[at] == '\0') ++(at % 2 == 0 ? nulEven : nulOdd);
  }
  const std::size_t pairs = head.size() / 2;
  if (nulOdd > 0 && nulEven == 0 && nulOdd * 4 >= pairs) return {TextEncoding::kUtf16Le, 0};
  if (nulEven > 0 && nulOdd == 0 && nulEven * 4 >= pairs) return {TextEncoding::kUtf16Be, 0};
  return {};
}

DecodedText DecodeText(std::string bytes) {
  const EncodingChoice choice = DetectEncoding(bytes);
  const std::string_view body = std::string_view(bytes).substr(choice.markBytes);
  switch (choice.encoding) {
    case TextEncoding::kUtf32:
      return {{}, true};
    case TextEncoding::kUtf16Le:
      return {Utf16ToUtf8(body, false), false};
    case TextEncoding::kUtf16Be:
      return {Utf16ToUtf8(body, true), false};
    case TextEncoding::kUtf8:
      break;
  }
  return {std::move(bytes), false};
}

void LineReader::Decide() {
  choice_ = DetectEncoding(head_);
  decided_ = true;
  utf16_ = Utf16Decoder(choice_.encoding == TextEncoding::kUtf16Be);
  Decode(std::string_view(head_).substr(std::min(choice_.markBytes, head_.size())));
  std::string().swap(head_);
}

void LineReader::Decode(std::string_view bytes) {
  switch (choice_.encoding) {
    case TextEncoding::kUtf8:
      pending_.append(bytes);
      break;
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be:
      utf16_.Feed(bytes, pending_);
      break;
    case TextEncoding::kUtf32:
      break;
  }
}

void LineReader::Feed(std::string_view bytes) {
  if (finished_) return;
  // The lines already given are dropped, so only the line being read stays.
  pending_.erase(0, lineStart_);
  lineStart_ = 0;
  if (decided_) {
    Decode(bytes);
    return;
  }
  head_.append(bytes);
  if (head_.size() >= kEncodingSampleBytes) Decide();
}

void LineReader::Finish() {
  if (finished_) return;
  if (!decided_) Decide();
  if (choice_.encoding == TextEncoding::kUtf16Le || choice_.encoding == TextEncoding::kUtf16Be) {
    utf16_.Finish(pending_);
  }
  finished_ = true;
}

bool LineReader::NextLine(TextLine& line) {
  if (!decided_ || utf32() || lastGiven_) return false;
  if (skipLineFeed_) {
    if (lineStart_ == pending_.size() && !finished_) return false;  // the "\n" may come next
    if (lineStart_ < pending_.size() && pending_[lineStart_] == '\n') ++lineStart_;
    skipLineFeed_ = false;
  }
  const std::size_t end = pending_.find_first_of("\r\n", lineStart_);
  if (overlong_) {
    if (end == std::string::npos && !finished_) {
      lineStart_ = pending_.size();  // dropped at the next Feed
      return false;
    }
    line = TextLine{number_++, longStart_, true};
    overlong_ = false;
    if (end == std::string::npos) {
      lastGiven_ = true;
      lineStart_ = pending_.size();
    } else {
      skipLineFeed_ = pending_[end] == '\r';
      lineStart_ = end + 1;
    }
    return true;
  }
  if (end == std::string::npos) {
    const std::size_t length = pending_.size() - lineStart_;
    if (length > longestLine_) {
      // Keep the start, drop the rest up to the line end.
      longStart_.assign(pending_, lineStart_, longestLine_);
      overlong_ = true;
      lineStart_ = pending_.size();
      return NextLine(line);
    }
    if (!finished_) return false;
    line = TextLine{number_++, std::string_view(pending_).substr(lineStart_), false};
    lastGiven_ = true;
    lineStart_ = pending_.size();
    return true;
  }
  const std::size_t length = end - lineStart_;
  line = TextLine{number_++, std::string_view(pending_).substr(lineStart_, std::min(length, longestLine_)),
                  length > longestLine_};
  skipLineFeed_ = pending_[end] == '\r';
  lineStart_ = end + 1;
  return true;
}

}  // namespace tallyhorn
