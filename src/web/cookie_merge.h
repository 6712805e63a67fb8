// Cookie texts: items "name=value" separated by ";". Blanks in them carry no
// meaning; a merged text separates its items by "; ".
#ifndef TARNWICK_WEB_COOKIE_MERGE_H_
#define TARNWICK_WEB_COOKIE_MERGE_H_

#include "text/text.h"
#include "text/text_array.h"

namespace tarnwick {

// Merges the cookies sent (`old`) with those a response set (`fresh`): the
// fresh items in their order, then the old items whose name occurs neither
// among the fresh items nor among earlier old items; items ending in
// "=deleted" and exact repeats are left out. Blanks are removed everywhere.
// Returns the merged text and also stores it in `old`.
Text MergeCookies(Text& old, const Text& fresh);

// The bytes of `item` before its first "=" (all of it when it has none),
// trimmed of blanks. Case-sensitive; may be empty.
Text CookieName(const Text& item);

// Whether some member of `items` has the cookie name `name`.
bool ContainsCookieName(const TextArray& items, const Text& name);

}  // namespace tarnwick

#endif  // TARNWICK_WEB_COOKIE_MERGE_H_
