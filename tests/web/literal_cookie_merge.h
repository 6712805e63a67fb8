// The cookie merge written out literally from its rules: a name lookup over
// the whole merged list for every old item, and JoinUnique's linear search of
// the items seen. Quadratic on purpose: MergeCookies is checked and measured
// against it.
#ifndef TARNWICK_TESTS_WEB_LITERAL_COOKIE_MERGE_H_
#define TARNWICK_TESTS_WEB_LITERAL_COOKIE_MERGE_H_

#include "text/text.h"
#include "text/text_routines.h"
#include "text/text_search.h"
#include "web/cookie_merge.h"

namespace tarnwick::literal {

inline Text MergeCookies(Text& old, const Text& fresh) {
  old = TextRemoveBlanks(old);
  const TextArray oldItems = TextSplit(old, ";");
  TextArray merged = TextSplit(TextRemoveBlanks(fresh), ";");
  for (const Text& item : oldItems) {
    if (!ContainsCookieName(merged, CookieName(item))) ArrayAppend(merged, item);
  }
  Text joined;
  for (const Text& item : merged) {
    if (TextEqual(TextRight(item, 8), "=deleted")) continue;
    joined = TextConcat(joined, item, "; ");
  }
  joined = TextLeft(joined, TextLength(joined) - 2);
  TextArray seen;
  Text result;
  for (const Text& item : TextSplit(joined, "; ")) {
    if (FindInArray(seen, item) != -1) continue;
    ArrayAppend(seen, item);
    result = TextConcat(result, item, "; ");
  }
  old = TextLeft(result, TextLength(result) - 2);
  return old;
}

}  // namespace tarnwick::literal

#endif  // TARNWICK_TESTS_WEB_LITERAL_COOKIE_MERGE_H_
