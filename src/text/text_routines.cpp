#include "text/text_routines.h"

#include <string>
#include <unordered_set>

#include "text/bytes.h"
#include "text/text_search.h"

namespace tarnwick {

namespace {

Text WithQuotes(const Text& marker) {
  return TextReplace(marker, Text(kQuoteToken), Text("\""), 1, -1, true);
}

}  // namespace

Text TextLeftOf(const Text& text, const Text& marker, std::int32_t start,
                bool ignoreCase) {
  const std::int32_t found =
      TextFind(text, marker, start > 0 ? start : 1, ignoreCase);
  if (found == -1) return Text();
  return TextLeft(text, found - 1);
}

Text TextBetween(const Text& text, const Text& firstMarker,
                 const Text& secondMarker, std::int32_t start,
                 bool ignoreCase) {
  const Text first = WithQuotes(firstMarker);
  const Text second = WithQuotes(secondMarker);
  const std::int32_t found = TextFind(text, first, start, ignoreCase);
  if (found == -1) return Text();
  const std::int64_t behind =
      static_cast<std::int64_t>(found) + TextLength(first);
  if (behind > TextLength(text)) return Text();
  const auto from = static_cast<std::int32_t>(behind);
  const std::int32_t end = TextFind(text, second, from, ignoreCase);
  if (end == -1) return Text();
  return TextMid(text, from, end - from);
}

// The items are compared through a hash set of views into `items`, so the
// join stays linear however many items repeat.
Text JoinUnique(const Text& text, const Text& delimiter,
                bool splitByDelimiter) {
  TextArray items;
  if (splitByDelimiter) {
    items = TextSplit(text, delimiter);
  } else {
    SplitIntoCharacters(text, items);
  }
  std::unordered_set<std::string_view> seen;
  seen.reserve(items.size());
  std::string joined;
  joined.reserve(text.size() + delimiter.size());
  for (const Text& item : items) {
    if (!seen.insert(item.view()).second) continue;
    joined.append(item.view());
    joined.append(delimiter.view());
  }
  joined.resize(joined.size() - std::min(joined.size(), delimiter.size()));
  return Text(std::move(joined));
}

std::int32_t SplitIntoCharacters(const Text& text, TextArray& characters) {
  characters.clear();
  const std::string_view bytes = text.view();
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    std::size_t width = 1;
    if (i + 1 < n) {
      const auto byte = static_cast<unsigned char>(bytes[i]);
      if (byte > 0x80 || (bytes[i] == '\r' && bytes[i + 1] == '\n')) width = 2;
    }
    characters.emplace_back(bytes.substr(i, width));
    i += width;
  }
  return ArrayCount(characters);
}

std::int32_t FindInArray(const TextArray& items, const Text& text) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (TextEqual(items[i], text)) return static_cast<std::int32_t>(i + 1);
  }
  return -1;
}

}  // namespace tarnwick
