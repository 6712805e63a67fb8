#include "text/text_search.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace tarnwick {

namespace {

constexpr unsigned char kSpace = 0x20;
constexpr unsigned char kFullWidthSpaceByte = 0xA1;

bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

unsigned char FoldCase(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + 0x20)
                                      : byte;
}

bool EqualFolded(std::string_view a, std::string_view b) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(static_cast<unsigned char>(a[i])) !=
        FoldCase(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::size_t StartOffset(std::int32_t start) {
  return start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
}

// Finds occurrences of a target that begin where a character begins, counted
// from the scan's starting byte. Candidates are found with a plain substring
// search and then checked against the character boundaries.
//
// Any byte after a byte below 0x80 begins a character (the earlier byte was a
// character, or the second byte of one), so whether a candidate q begins a
// character follows from the parity of the run of lead-range bytes right
// before it, looked at back to the last position known to begin a character.
// Candidates only move forward, so every byte is looked at back at most once.
class CharacterMatcher {
 public:
  CharacterMatcher(std::string_view text, std::string_view target,
                   bool ignoreCase)
      : text_(text), target_(target), ignoreCase_(ignoreCase) {}

  // The offset of the first occurrence at or after `from` that begins a
  // character, or npos. The scan resumes at `from` as at the beginning of a
  // character (after a match it may lie inside one). REQUIRES: target not
  // empty; each call's `from` at or after the previous match.
  std::size_t Next(std::size_t from) {
    known_ = from;
    return ignoreCase_ ? NextFolded(from) : NextExact(from);
  }

 private:
  std::size_t NextExact(std::size_t from) {
    for (std::size_t q = text_.find(target_, from); q != std::string_view::npos;
         q = text_.find(target_, q + 1)) {
      if (BeginsCharacter(q)) return q;
    }
    return std::string_view::npos;
  }

  std::size_t NextFolded(std::size_t from) {
    const std::size_t width = target_.size();
    std::size_t p = from;
    while (text_.size() - p >= width) {
      if (EqualFolded(text_.substr(p, width), target_)) return p;
      if (!IsLeadByte(Byte(p))) {
        ++p;
      } else if (p + 1 == text_.size()) {
        break;
      } else {
        p += 2;
      }
    }
    return std::string_view::npos;
  }

  bool BeginsCharacter(std::size_t q) {
    std::size_t runStart = q;
    while (runStart > known_ && IsLeadByte(Byte(runStart - 1))) --runStart;
    const bool begins = (q - runStart) % 2 == 0;
    known_ = begins ? q : q + 1;
    return begins;
  }

  unsigned char Byte(std::size_t i) const {
    return static_cast<unsigned char>(text_[i]);
  }

  std::string_view text_;
  std::string_view target_;
  std::size_t known_ = 0;  // a position known to begin a character
  bool ignoreCase_;
};

// Whether the last byte of `text` is a lone lead byte for a scan that starts
// at `scanStart`.
bool EndsInLoneLead(std::string_view text, std::size_t scanStart) {
  if (text.size() <= scanStart) return false;
  std::size_t runStart = text.size();
  while (runStart > scanStart && IsLeadByte(text[runStart - 1])) --runStart;
  return (text.size() - runStart) % 2 == 1;
}

}  // namespace

std::int32_t TextFind(const Text& t, const Text& target, std::int32_t start,
                      bool ignoreCase) {
  const std::string_view text = t.view();
  const std::size_t offset = StartOffset(start);
  if (offset >= text.size()) return -1;
  if (target.empty()) return 1;
  CharacterMatcher matcher(text, target.view(), ignoreCase);
  const std::size_t found = matcher.Next(offset);
  if (found == std::string_view::npos) return -1;
  return static_cast<std::int32_t>(found + 1);
}

Text TextReplace(const Text& t, const Text& target, const Text& replacement,
                 std::int32_t start, std::int32_t count, bool caseSensitive) {
  const std::string_view text = t.view();
  const std::size_t offset = StartOffset(start);
  if (text.empty() || target.empty() || offset >= text.size() || count == 0) {
    return t;
  }
  CharacterMatcher matcher(text, target.view(), !caseSensitive);
  std::string result;
  result.reserve(text.size());
  result.append(text.substr(0, offset));
  std::size_t p = offset;
  std::int32_t remaining = count;  // negative: no limit
  bool limitReached = false;
  for (;;) {
    const std::size_t found = matcher.Next(p);
    if (found == std::string_view::npos) break;
    result.append(text.substr(p, found - p));
    result.append(replacement.view());
    p = found + target.size();
    if (remaining > 0 && --remaining == 0) {
      limitReached = true;
      break;
    }
  }
  // Past the last match the scan steps on while a whole target still fits; a
  // one-byte target lets it reach a lone lead byte at the end, which it drops.
  std::string_view rest = text.substr(p);
  if (!limitReached && target.size() == 1 && EndsInLoneLead(text, p)) {
    rest.remove_suffix(1);
  }
  result.append(rest);
  return Text(std::move(result));
}

TextArray TextSplit(const Text& t, const Text& delimiter,
                    std::optional<std::int32_t> maxCount) {
  TextArray pieces;
  const std::string_view text = t.view();
  const std::int32_t limit = maxCount ? std::max(*maxCount, 0) : -1;
  if (text.empty() || limit == 0) return pieces;
  if (delimiter.empty()) {
    pieces.push_back(t);
    return pieces;
  }
  CharacterMatcher matcher(text, delimiter.view(), false);
  std::size_t pieceStart = 0;
  std::int32_t remaining = limit;
  for (;;) {
    const std::size_t found = matcher.Next(pieceStart);
    if (found == std::string_view::npos) break;
    pieces.emplace_back(text.substr(pieceStart, found - pieceStart));
    pieceStart = found + delimiter.size();
    if (remaining > 0 && --remaining == 0) return pieces;
  }
  if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
  return pieces;
}

Text TextTrim(const Text& t) {
  const std::string_view text = t.view();
  const std::size_t size = text.size();
  auto byteAt = [&](std::size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  auto blankWidth = [&](std::size_t i) -> std::size_t {
    if (byteAt(i) == kSpace) return 1;
    if (byteAt(i) == kFullWidthSpaceByte && i + 1 < size &&
        byteAt(i + 1) == kFullWidthSpaceByte) {
      return 2;
    }
    return 0;
  };

  std::size_t first = 0;
  while (first < size) {
    const std::size_t width = blankWidth(first);
    if (width == 0) break;
    first += width;
  }

  std::size_t end = size;
  std::size_t runStart = std::string_view::npos;
  std::size_t p = first;
  while (p < size) {
    if (IsLeadByte(byteAt(p)) && p + 1 == size) {
      end = p;
      runStart = std::string_view::npos;
      break;
    }
    const std::size_t width = blankWidth(p);
    if (width != 0) {
      if (runStart == std::string_view::npos) runStart = p;
      p += width;
    } else {
      runStart = std::string_view::npos;
      p += IsLeadByte(byteAt(p)) ? 2 : 1;
    }
  }
  if (runStart != std::string_view::npos) end = runStart;
  return Text(text.substr(first, end - first));
}

Text TextRemoveBlanks(const Text& t) {
  const std::string_view text = t.view();
  const std::size_t size = text.size();
  std::string result;
  result.reserve(size);
  std::size_t copyFrom = 0;  // start of the run of kept characters
  std::size_t p = 0;
  while (p < size) {
    const auto byte = static_cast<unsigned char>(text[p]);
    if (byte == kSpace) {
      result.append(text.substr(copyFrom, p - copyFrom));
      copyFrom = ++p;
    } else if (!IsLeadByte(byte)) {
      ++p;
    } else if (p + 1 == size) {
      break;  // a lone lead byte at the end is dropped
    } else if (byte == kFullWidthSpaceByte &&
               static_cast<unsigned char>(text[p + 1]) == kFullWidthSpaceByte) {
      result.append(text.substr(copyFrom, p - copyFrom));
      p += 2;
      copyFrom = p;
    } else {
      p += 2;
    }
  }
  result.append(text.substr(copyFrom, p - copyFrom));
  return Text(std::move(result));
}

}  // namespace tarnwick
