// Literal versions of the stepping operations, written straight from their
// rules with no shortcuts. Slow on purpose: the production code is checked
// against them.
#ifndef TARNWICK_TESTS_TEXT_LITERAL_TEXT_SEARCH_H_
#define TARNWICK_TESTS_TEXT_LITERAL_TEXT_SEARCH_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::literal {

inline unsigned char Fold(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

inline bool SameAt(const std::string& t, std::size_t p, const std::string& w,
                   bool fold) {
  for (std::size_t i = 0; i < w.size(); ++i) {
    auto a = static_cast<unsigned char>(t[p + i]);
    auto b = static_cast<unsigned char>(w[i]);
    if (fold ? Fold(a) != Fold(b) : a != b) return false;
  }
  return true;
}

inline bool High(const std::string& t, std::size_t p) {
  return static_cast<unsigned char>(t[p]) >= 0x80;
}

inline std::int32_t Find(const std::string& t, const std::string& w,
                         std::int32_t start, bool ignoreCase) {
  const std::size_t L = t.size();
  const std::int64_t from = static_cast<std::int64_t>(start) - 1;
  const std::size_t o = from > 0 ? static_cast<std::size_t>(from) : 0;
  if (o >= L) return -1;
  if (w.empty()) return 1;
  std::size_t p = o;
  while (p < L) {
    if (L - p < w.size()) return -1;
    if (SameAt(t, p, w, ignoreCase)) return static_cast<std::int32_t>(p + 1);
    if (High(t, p)) {
      if (p == L - 1) return -1;
      p += 2;
    } else {
      p += 1;
    }
  }
  return -1;
}

inline std::string Replace(const std::string& t, const std::string& w,
                           const std::string& r, std::int32_t start,
                           std::int32_t count, bool caseSensitive) {
  const std::size_t L = t.size();
  const std::size_t W = w.size();
  const std::int64_t from = static_cast<std::int64_t>(start) - 1;
  const std::size_t o = from > 0 ? static_cast<std::size_t>(from) : 0;
  if (L == 0 || W == 0 || o >= L || count == 0) return t;
  std::string out = t.substr(0, o);
  std::size_t p = o;
  std::int32_t limit = count;
  while (L - p >= W) {
    if (SameAt(t, p, w, !caseSensitive)) {
      out += r;
      p += W;
      if (limit > 0 && --limit == 0) break;
    } else if (High(t, p)) {
      if (p == L - 1) {
        p = L;
        break;
      }
      out += t.substr(p, 2);
      p += 2;
    } else {
      out += t[p];
      p += 1;
    }
  }
  out += t.substr(p);
  return out;
}

inline std::vector<std::string> Split(const std::string& t,
                                      const std::string& d,
                                      std::optional<std::int32_t> maxCount) {
  std::vector<std::string> out;
  std::int32_t limit = maxCount ? (*maxCount > 0 ? *maxCount : 0) : -1;
  if (t.empty() || limit == 0) return out;
  if (d.empty()) return {t};
  std::size_t s = 0;
  std::size_t p = 0;
  while (t.size() - p >= d.size()) {
    if (SameAt(t, p, d, false)) {
      out.push_back(t.substr(s, p - s));
      p += d.size();
      s = p;
      if (limit > 0 && --limit == 0) return out;
    } else if (High(t, p)) {
      if (p == t.size() - 1) break;
      p += 2;
    } else {
      p += 1;
    }
  }
  if (s < t.size()) out.push_back(t.substr(s));
  return out;
}

inline bool BlankAt(const std::string& t, std::size_t p, std::size_t* width) {
  if (t[p] == ' ') {
    *width = 1;
    return true;
  }
  if (static_cast<unsigned char>(t[p]) == 0xA1 && p + 1 < t.size() &&
      static_cast<unsigned char>(t[p + 1]) == 0xA1) {
    *width = 2;
    return true;
  }
  return false;
}

inline std::string Trim(const std::string& t) {
  std::size_t p = 0;
  std::size_t width = 0;
  while (p < t.size() && BlankAt(t, p, &width)) p += width;
  const std::size_t first = p;
  std::size_t end = t.size();
  bool inRun = false;
  std::size_t runStart = 0;
  while (p < t.size()) {
    if (High(t, p) && p == t.size() - 1) {
      return t.substr(first, p - first);
    }
    if (BlankAt(t, p, &width)) {
      if (!inRun) runStart = p;
      inRun = true;
      p += width;
    } else {
      inRun = false;
      p += High(t, p) ? 2 : 1;
    }
  }
  if (inRun) end = runStart;
  return t.substr(first, end - first);
}

inline std::string RemoveBlanks(const std::string& t) {
  std::string out;
  std::size_t p = 0;
  std::size_t width = 0;
  while (p < t.size()) {
    if (BlankAt(t, p, &width)) {
      p += width;
    } else if (High(t, p)) {
      if (p == t.size() - 1) break;
      out += t.substr(p, 2);
      p += 2;
    } else {
      out += t[p];
      p += 1;
    }
  }
  return out;
}

}  // namespace tarnwick::literal

#endif  // TARNWICK_TESTS_TEXT_LITERAL_TEXT_SEARCH_H_
