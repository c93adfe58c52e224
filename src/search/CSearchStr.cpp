#include "search/CSearchStr.h"

#include "search/SearchErrors.h"

#include <algorithm>
#include <cstring>

namespace kov {

namespace {

using CharSet = std::array<bool, 256>;

constexpr CharSet makeSet(std::string_view members) {
  CharSet set{};
  for (const char c : members) set[static_cast<unsigned char>(c)] = true;
  return set;
}

// Separators: a wildcard never runs over one, and anchors look for them.
constexpr CharSet kSep = makeSet(" -~\xB7");
// A match may begin after one of these.
constexpr char kStartChars[] = "\x0A\x0D\x14 \"'()+,-./:;=[]_{|}~\xB7";
constexpr CharSet kStart = makeSet(std::string_view(kStartChars, sizeof kStartChars - 1));
// A match may end before one of these ('!' and '?' end a word but start none); the NUL ends
// a text that carries its terminator.
constexpr char kEndChars[] = "\x00\x0A\x0D\x14 !\"'()+,-./:;=?[]_{|}~\xB7";
constexpr CharSet kEnd = makeSet(std::string_view(kEndChars, sizeof kEndChars - 1));

// Characters that make a text need its visible form built.
constexpr CharSet kMarkup = makeSet("<>&");

inline bool isSep(unsigned char c) { return kSep[c]; }

char foldUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char foldLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string collapseStars(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '*' && !out.empty() && out.back() == '*') continue;
    out.push_back(c);
  }
  return out;
}

// Tries to match pattern word (up, lo, m) with its first character at visible index k.
// A '*' takes characters one at a time when the rest fails, but never a separator.
template <typename ViewT>
bool tryAt(const ViewT& v, int32_t k, const char* up, const char* lo, int32_t m, bool trailStar,
           int32_t& endIdx) {
  int32_t pi = 0;
  int32_t ti = k;
  int32_t starP = -1;
  int32_t starT = -1;
  const unsigned char* ch = v.ch;
  for (;;) {
    if (pi == m) {
      if (trailStar || ti == v.n || kEnd[ch[ti]] || v.tagAt(ti)) {
        endIdx = ti - 1;
        return true;
      }
    } else {
      const char pc = up[pi];
      if (pc == '*') {
        starP = pi++;
        starT = ti;
        continue;
      }
      if (ti < v.n) {
        const unsigned char c = ch[ti];
        const bool ok = pc == '#' ? !kEnd[c] : (c == static_cast<unsigned char>(pc) ||
                                                c == static_cast<unsigned char>(lo[pi]));
        if (ok) {
          ++pi;
          ++ti;
          continue;
        }
      }
    }
    // Failed here: widen the last wildcard by one character, or give up this start.
    if (starP < 0 || starT >= v.n || isSep(ch[starT])) return false;
    ti = ++starT;
    pi = starP + 1;
  }
}

}  // namespace

std::string_view dropSwitchBytes(std::string_view word, std::string& scratch) {
  if (word.find_first_of(std::string_view("\x02\x19", 2)) == std::string_view::npos) return word;
  scratch.clear();
  for (const char c : word) {
    if (c != '\x02' && c != '\x19') scratch.push_back(c);
  }
  return scratch;
}

bool TSearchStr::sepFrom(const View& v, int32_t k) {
  for (; k < v.n; ++k) {
    if (isSep(v.ch[k])) return true;
  }
  return false;
}

TSearchStr::TSearchStr() {
  Matches.Items.reserve(100);  // a row has at most 50 words, so matching never grows it
}

void TSearchStr::Compile(int row, std::string_view pattern) {
  Pattern.assign(pattern);
  Compile(row);
}

void TSearchStr::Compile(int row) {
  if (row < 0 || row >= kMaxPatternRows) {
    throw SearchRangeError("Pattern row " + std::to_string(row) + " outside 0.." +
                           std::to_string(kMaxPatternRows - 1));
  }
  Row = row;
  TSQ& target = rows_[static_cast<std::size_t>(row)];
  target = TSQ{};

  const std::string p = collapseStars(Pattern);
  std::vector<TsQuery> words;
  TsQuery cur;
  bool inQuote = false;
  bool ended = false;  // the previous character ended a word

  auto finish = [&] {
    std::string& t = cur.Text;
    bool star = false;
    // Only stars at the word's edges widen it; a star next to a quoted blank inside the word
    // stays a wildcard, so "\"in *ning\"" keeps meaning "in", a blank, then a word in -ning.
    if (!t.empty() && t.front() == '*') {
      cur.Opts.LeadStar = true;
      t.erase(0, 1);
      star = true;
    }
    if (!t.empty() && t.back() == '*') {
      cur.Opts.TrailStar = true;
      t.pop_back();
      star = true;
    }
    if (star && t.empty()) cur.Opts.LeadStar = cur.Opts.TrailStar = true;
    if (!t.empty() || star) {
      if (static_cast<int>(t.size()) > kMaxPatternWordLen) {
        throw SearchRangeError("Search word longer than " + std::to_string(kMaxPatternWordLen) +
                               " characters");
      }
      if (static_cast<int>(words.size()) == kMaxPatternWords) {
        throw SearchRangeError("More than " + std::to_string(kMaxPatternWords) +
                               " words in a search cell");
      }
      words.push_back(std::move(cur));
    }
    cur = TsQuery{};
  };

  for (std::size_t i = 0; i < p.size(); ++i) {
    const char c = p[i];
    if (c == '\\') {
      if (i + 1 >= p.size()) break;  // a lone backslash at the end escapes nothing
      const char next = p[i + 1];
      if (next == '"') {
        inQuote = !inQuote;
      } else if (next == '=') {
        if (i == 0 || p[i - 1] == ' ') cur.Opts.AnchorStart = true;
        if (i + 2 >= p.size() || p[i + 2] == ' ') cur.Opts.AnchorEnd = true;
      } else if (next >= '0' && next <= '9') {
        cur.Opts.Digit = static_cast<int8_t>(next - '0');
      }
      ++i;
      ended = false;
      continue;
    }
    if (c == ' ' && !inQuote) {
      if (ended) {
        cur.Text.push_back(c);
        ended = false;
      } else {
        finish();
        ended = true;
      }
      continue;
    }
    cur.Text.push_back(c);
    ended = false;
  }
  finish();

  TSQ q;
  q.WordCount = static_cast<int32_t>(words.size());
  for (TsQuery& w : words) {
    w.Opts.CaseSens = CaseSens;
    w.Opts.HasTags = w.Text.find_first_of("<>") != std::string::npos;
    std::string upper = w.Text;
    std::string lower = w.Text;
    if (!CaseSens) {
      std::transform(upper.begin(), upper.end(), upper.begin(), foldUpper);
      std::transform(lower.begin(), lower.end(), lower.begin(), foldLower);
    }
    q.LiteralCounts.push_back(static_cast<int32_t>(
        std::count_if(w.Text.begin(), w.Text.end(),
                      [](char c) { return c != '*' && c != '<' && c != '>'; })));
    q.WordLens.push_back(static_cast<int32_t>(w.Text.size()));
    q.UpperWords.push_back(std::move(upper));
    q.LowerWords.push_back(std::move(lower));
    q.WordOpts.push_back(w.Opts);
  }
  target = std::move(q);
}

void TSearchStr::prepare(std::string_view text) {
  text_ = text;
  rawBuilt_ = false;
  const auto n = static_cast<int32_t>(text.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  hasMarkup_ = false;
  for (int32_t i = 0; i < n; ++i) {
    if (kMarkup[bytes[i]]) {
      hasMarkup_ = true;
      break;
    }
  }
  if (!hasMarkup_) {
    visible_ = View{bytes, nullptr, nullptr, n};
    raw_ = visible_;
    rawBuilt_ = true;
    return;
  }

  // Markup is invisible: tags vanish ("<s>" and "</s>" leave a word boundary), and an entity
  // vanishes with up to four characters after its '&' ("&nbsp;" reads as a blank).
  if (visChars_.size() < static_cast<std::size_t>(n) + 1) {
    visChars_.resize(static_cast<std::size_t>(n) + 1);
    visPos_.resize(static_cast<std::size_t>(n) + 1);
    visTag_.resize(static_cast<std::size_t>(n) + 1);
  }
  int32_t k = 0;
  bool inTag = false;
  char tag[3] = {0, 0, 0};
  int tagLen = 0;
  bool boundary = false;
  int entity = -1;  // characters collected after an '&', -1 outside an entity
  char entityText[4] = {0, 0, 0, 0};
  auto emit = [&](unsigned char c, int32_t at) {
    visChars_[static_cast<std::size_t>(k)] = c;
    visPos_[static_cast<std::size_t>(k)] = at + 1;
    visTag_[static_cast<std::size_t>(k)] = boundary ? 1 : 0;
    boundary = false;
    ++k;
  };
  for (int32_t i = 0; i < n; ++i) {
    const unsigned char c = bytes[i];
    if (inTag) {
      if (c == '>') {
        inTag = false;
        if ((tagLen == 1 && tag[0] == 's') || (tagLen == 2 && tag[0] == '/' && tag[1] == 's')) {
          boundary = true;
        }
      } else if (tagLen < 3) {
        tag[tagLen++] = static_cast<char>(c);
      }
      continue;
    }
    if (entity >= 0) {
      if (c == ';') {
        const bool nbsp = entity == 4 && std::memcmp(entityText, "nbsp", 4) == 0;
        entity = -1;
        if (nbsp) emit(' ', i);
        continue;
      }
      if (c != '<' && entity < 4) {
        entityText[entity++] = static_cast<char>(c);
        continue;
      }
      entity = -1;  // a fifth character (or a tag) ends the entity and counts normally
    }
    if (c == '<') {
      inTag = true;
      tagLen = 0;
    } else if (c == '>') {
      // a stray closing bracket closes nothing and is not text
    } else if (c == '&') {
      entity = 0;
    } else {
      emit(c, i);
    }
  }
  visTag_[static_cast<std::size_t>(k)] = boundary ? 1 : 0;
  visible_ = View{visChars_.data(), visPos_.data(), visTag_.data(), k};
}

const TSearchStr::View& TSearchStr::viewFor(const TWordOpts& opts) {
  if (!opts.HasTags) return visible_;
  if (!rawBuilt_) {
    const auto n = static_cast<int32_t>(text_.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
    raw_ = View{bytes, nullptr, nullptr, n};
    rawBuilt_ = true;
  }
  return raw_;
}

bool TSearchStr::findWord(const View& v, int word, int firstStart, int lastStart, bool extend) {
  const TSQ& q = rows_[static_cast<std::size_t>(Row)];
  const auto w = static_cast<std::size_t>(word);
  const TWordOpts& opts = q.WordOpts[w];
  const char* up = q.UpperWords[w].data();
  const char* lo = q.LowerWords[w].data();
  const int32_t m = q.WordLens[w];
  const bool literalFirst = m > 0 && up[0] != '#' && up[0] != '*';
  const auto firstUp = static_cast<unsigned char>(up[0]);
  const auto firstLo = static_cast<unsigned char>(lo[0]);

  // Reading starts at the first allowed start; a start anchor looks only at what was read.
  int32_t k = 0;
  while (k < v.n && v.rawPos(k) < firstStart) ++k;
  const int32_t firstK = k;
  bool sepBefore = false;
  for (; k < v.n; ++k) {
    if (k > firstK && isSep(v.ch[k - 1])) sepBefore = true;
    if (v.rawPos(k) > lastStart) break;
    // A start anchor fails at every later start once a separator has been passed.
    if (opts.AnchorStart && sepBefore) break;
    // Most starts fail on the first character; test it here before the full attempt.
    if (literalFirst && v.ch[k] != firstUp && v.ch[k] != firstLo) continue;
    if (!opts.LeadStar && k > 0 && !kStart[v.ch[k - 1]] && !v.tagAt(k)) continue;
    int32_t endIdx = 0;
    if (!tryAt(v, k, up, lo, m, opts.TrailStar, endIdx)) continue;
    if (opts.AnchorEnd && sepFrom(v, endIdx + 1)) continue;

    TMatchItem item;
    item.WordIndex = word;
    item.Start = v.rawPos(k);
    item.End = endIdx >= k ? v.rawPos(endIdx) : item.Start - 1;
    item.SepAfter = endIdx + 1 < v.n && isSep(v.ch[endIdx + 1]);
    item.ExtStart = item.Start;
    item.ExtEnd = item.End;
    if (extend) {
      int32_t es = k;
      if (opts.LeadStar) {
        while (es > 0 && !kStart[v.ch[es - 1]] && !v.tagAt(es)) --es;
      }
      int32_t ee = endIdx;
      if (opts.TrailStar) {
        while (ee + 1 < v.n && !kEnd[v.ch[ee + 1]] && !v.tagAt(ee + 1)) ++ee;
      }
      item.ExtStart = v.rawPos(es);
      item.ExtEnd = ee >= es ? v.rawPos(ee) : item.ExtStart - 1;
    }
    Matches.Items.push_back(item);
    Matches.Count = static_cast<int32_t>(Matches.Items.size());
    return true;
  }
  return false;
}

bool TSearchStr::MatchWord(std::string_view text, int word, int firstStart, int lastStart,
                           bool extend) {
  if (Row < 0 || Row >= kMaxPatternRows) return false;
  const TSQ& q = rows_[static_cast<std::size_t>(Row)];
  if (word < 0 || word >= q.WordCount) return false;
  prepare(text);
  return findWord(viewFor(q.WordOpts[static_cast<std::size_t>(word)]), word, firstStart,
                  lastStart, extend);
}

bool TSearchStr::MatchText(bool extend) { return MatchText(Subject, extend); }

bool TSearchStr::MatchText(std::string_view text, bool extend) {
  Matches.Items.clear();
  Matches.Count = 0;
  if (Row < 0 || Row >= kMaxPatternRows) return false;
  const TSQ& q = rows_[static_cast<std::size_t>(Row)];
  const auto length = static_cast<int32_t>(text.size());
  if (q.WordCount == 0 || length == 0 || length < q.LiteralCounts[0]) return false;
  if (Mode == 2 && q.WordCount > 1) return false;
  prepare(text);
  int32_t firstStart = 1;
  for (int32_t w = 0; w < q.WordCount; ++w) {
    const auto wi = static_cast<std::size_t>(w);
    const int32_t lastStart = length - q.LiteralCounts[wi] + 1;
    if (!findWord(viewFor(q.WordOpts[wi]), w, firstStart, lastStart, extend)) {
      Matches.Items.clear();
      Matches.Count = 0;
      return false;
    }
    if (Mode == 1) {
      const TMatchItem& found = Matches.Items.back();
      firstStart = std::max(found.End, found.Start - 1) + 1;
    }
  }
  return true;
}

}  // namespace kov
