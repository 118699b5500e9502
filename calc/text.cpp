#include "calc/text.h"

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

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string text;
  text.reserve(bytes.size() / 2);
  const auto unitAt = [bytes, bigEndian](std::size_t at) -> std::uint32_t {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return bigEndian ? (std::uint32_t{first} << 8 | second) : (std::uint32_t{second} << 8 | first);
  };
  std::size_t at = 0;
  for (; at + 1 < bytes.size(); at += 2) {
    const std::uint32_t unit = unitAt(at);
    if (unit >= 0xD800 && unit <= 0xDBFF && at + 3 < bytes.size()) {
      const std::uint32_t next = unitAt(at + 2);
      if (next >= 0xDC00 && next <= 0xDFFF) {
        AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
        at += 2;
        continue;
      }
    }
    AppendUtf8(text, unit);
  }
  if (at < bytes.size()) AppendUtf8(text, 0xFFFD);
  return text;
}

DecodedText DecodeText(std::string bytes) {
  const std::string_view view = bytes;
  if (view.starts_with(std::string_view("\xFF\xFE\0\0", 4)) || view.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
    return {{}, true};
  }
  if (view.starts_with("\xFF\xFE")) return {Utf16ToUtf8(view.substr(2), false), false};
  if (view.starts_with("\xFE\xFF")) return {Utf16ToUtf8(view.substr(2), true), false};
  std::size_t nulEven = 0;
  std::size_t nulOdd = 0;
  for (std::size_t at = 0; at < view.size(); ++at) {
    if (view[at] == '\0') ++(at % 2 == 0 ? nulEven : nulOdd);
  }
  const std::size_t pairs = view.size() / 2;
  if (nulOdd > 0 && nulEven == 0 && nulOdd * 4 >= pairs) return {Utf16ToUtf8(view, false), false};
  if (nulEven > 0 && nulOdd == 0 && nulEven * 4 >= pairs) return {Utf16ToUtf8(view, true), false};
  return {std::move(bytes), false};
}


}  // namespace tallyhorn
