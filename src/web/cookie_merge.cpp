#include "web/cookie_merge.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "text/text_routines.h"
#include "text/text_search.h"

namespace tarnwick {

namespace {

constexpr char kDeletedSuffix[] = "=deleted";
constexpr char kItemSeparator[] = "; ";

bool IsDeletionItem(const Text& item) {
  return TextEqual(TextRight(item, 8), kDeletedSuffix);
}

}  // namespace

// The names already in the merged list are kept in a hash set, so each old
// item is looked up once instead of against the whole list.
Text MergeCookies(Text& old, const Text& fresh) {
  old = TextRemoveBlanks(old);
  TextArray merged = TextSplit(TextRemoveBlanks(fresh), ";");
  std::unordered_set<std::string> names;
  names.reserve(merged.size());
  for (const Text& item : merged) names.insert(CookieName(item).str());
  for (Text& item : TextSplit(old, ";")) {
    if (names.insert(CookieName(item).str()).second) {
      merged.push_back(std::move(item));
    }
  }

  std::string joined;
  for (const Text& item : merged) {
    if (IsDeletionItem(item)) continue;
    joined.append(item.view());
    joined.append(kItemSeparator);
  }
  joined.resize(joined.size() - std::min<std::size_t>(joined.size(), 2));
  old = JoinUnique(Text(std::move(joined)), kItemSeparator, true);
  return old;
}

Text CookieName(const Text& item) {
  const std::int32_t equals = TextFind(item, "=", 1, false);
  if (equals == -1) return TextTrim(item);
  return TextTrim(TextLeft(item, equals - 1));
}

bool ContainsCookieName(const TextArray& items, const Text& name) {
  for (const Text& item : items) {
    if (TextEqual(CookieName(item), name)) return true;
  }
  return false;
}

}  // namespace tarnwick
