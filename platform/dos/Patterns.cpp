// AmigaDOS pattern matching. A pattern is parsed into a small tree; matching works out, for
// each part, every position of the string where the part can end, so no pattern can make the
// matcher backtrack. A negation is worked out once per start, and a match that would still take
// more than a set amount of work (deeply nested repeats against a long string) is given up and
// counts as no match, so a hostile pattern cannot stall a file requester.
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "dos.h"

namespace {

// The parsed form starts with this byte, so that a plain string is never taken for one.
constexpr char kParsedMark = '\x01';

struct Part;
using Sequence = std::vector<Part>;

struct Part {
    enum class Kind { Literal, Any, Class, Empty, Repeat, Group, Not };
    Kind kind = Kind::Literal;
    char c = 0;
    std::string set;  // a class: single characters, and ranges as three bytes a-z
    bool complement = false;
    std::vector<Sequence> alternatives;  // Group: the alternatives; Repeat and Not: one
};

class Parser {
public:
    explicit Parser(const char* text) : p_(text) {}

    bool Parse(Sequence& out) {
        std::vector<Sequence> top;
        if (!Alternatives(top) || *p_ != '\0') {
            return false;
        }
        if (top.size() == 1) {
            out = std::move(top[0]);
        } else {
            Part group;
            group.kind = Part::Kind::Group;
            group.alternatives = std::move(top);
            out.push_back(std::move(group));
        }
        return true;
    }

    bool wild = false;

private:
    // Groups and negations nest by recursion, here and in the matcher: nesting deeper than any
    // real pattern is refused as malformed rather than followed down the stack.
    static constexpr int kMaxDepth = 64;

    bool Alternatives(std::vector<Sequence>& out) {
        if (depth_ >= kMaxDepth) {
            return false;
        }
        ++depth_;
        for (;;) {
            Sequence seq;
            if (!Items(seq)) {
                return false;
            }
            out.push_back(std::move(seq));
            if (*p_ != '|') {
                --depth_;
                return true;
            }
            wild = true;
            ++p_;
        }
    }

    bool Items(Sequence& seq) {
        while (*p_ != '\0' && *p_ != '|' && *p_ != ')') {
            if (*p_ == '~') {
                // Everything after the sign, up to the end of its group, is negated.
                ++p_;
                wild = true;
                Part not_;
                not_.kind = Part::Kind::Not;
                not_.alternatives.emplace_back();
                if (depth_ >= kMaxDepth) {
                    return false;
                }
                ++depth_;
                if (!Items(not_.alternatives[0])) {
                    return false;
                }
                --depth_;
                seq.push_back(std::move(not_));
                return true;
            }
            Part part;
            if (*p_ == '#') {
                ++p_;
                wild = true;
                part.kind = Part::Kind::Repeat;
                part.alternatives.emplace_back();
                Part one;
                if (!Item(one)) {
                    return false;
                }
                part.alternatives[0].push_back(std::move(one));
            } else if (!Item(part)) {
                return false;
            }
            seq.push_back(std::move(part));
        }
        return true;
    }

    bool Item(Part& part) {
        const char c = *p_;
        if (c == '\0' || c == '|' || c == ')') {
            return false;
        }
        ++p_;
        switch (c) {
            case '?':
                wild = true;
                part.kind = Part::Kind::Any;
                return true;
            case '%':
                wild = true;
                part.kind = Part::Kind::Empty;
                return true;
            case '\'':
                if (*p_ == '\0') {
                    return false;
                }
                part.c = *p_++;
                return true;
            case '(':
                wild = true;
                part.kind = Part::Kind::Group;
                if (!Alternatives(part.alternatives) || *p_ != ')') {
                    return false;
                }
                ++p_;
                return true;
            case '[':
                wild = true;
                return Class(part);
            default:
                part.c = c;
                return true;
        }
    }

    bool Class(Part& part) {
        part.kind = Part::Kind::Class;
        if (*p_ == '~') {
            part.complement = true;
            ++p_;
        }
        while (*p_ != ']') {
            if (*p_ == '\0') {
                return false;
            }
            char c = *p_++;
            if (c == '\'' && *p_ != '\0') {
                c = *p_++;
            }
            if (*p_ == '-' && p_[1] != ']' && p_[1] != '\0') {
                part.set += '-';
                part.set += c;
                part.set += p_[1];
                p_ += 2;
            } else {
                part.set += '=';
                part.set += c;
            }
        }
        ++p_;
        return true;
    }

    const char* p_;
    int depth_ = 0;
};

class Matcher {
public:
    Matcher(const std::string& text, bool noCase) : s_(text), noCase_(noCase) {}

    bool Whole(const Sequence& seq) const {
        Ends start(s_.size() + 1, false);
        start[0] = true;
        const bool matched = SequenceEnds(seq, start)[s_.size()];
        return matched && !givenUp_;
    }

private:
    using Ends = std::vector<bool>;

    // Positions visited, summed over every step: tens of milliseconds of work. Names and the
    // patterns people write stay far below it.
    static constexpr size_t kWorkLimit = size_t{1} << 25;

    char Fold(char c) const {
        return noCase_ ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
    }

    bool InClass(const Part& part, char c) const {
        bool found = false;
        for (size_t i = 0; i + 1 < part.set.size() && !found; i += part.set[i] == '-' ? 3 : 2) {
            if (part.set[i] == '-') {
                const char lo = Fold(part.set[i + 1]);
                const char hi = Fold(part.set[i + 2]);
                found = Fold(c) >= lo && Fold(c) <= hi;
            } else {
                found = Fold(part.set[i + 1]) == Fold(c);
            }
        }
        return found != part.complement;
    }

    Ends SequenceEnds(const Sequence& seq, Ends from) const {
        for (const Part& part : seq) {
            from = PartEnds(part, from);
        }
        return from;
    }

    // The ends a negation reaches from one start, worked out once: nested negations would
    // otherwise redo their inner ones from every start of every outer one.
    const Ends& NotEnds(const Part& part, size_t start) const {
        const size_t n = s_.size();
        std::vector<Ends>& known = notEnds_[&part];
        if (known.empty()) {
            known.resize(n + 1);
        }
        Ends& to = known[start];
        if (to.empty()) {
            Ends one(n + 1, false);
            one[start] = true;
            const Ends reached = SequenceEnds(part.alternatives[0], one);
            to.assign(n + 1, false);
            for (size_t e = start; e <= n; ++e) {
                to[e] = !reached[e];
            }
        }
        return to;
    }

    Ends PartEnds(const Part& part, const Ends& from) const {
        const size_t n = s_.size();
        work_ += n + 1;
        if (work_ > kWorkLimit) {
            givenUp_ = true;
        }
        if (givenUp_) {
            return Ends(n + 1, false);
        }
        switch (part.kind) {
            case Part::Kind::Empty:
                return from;
            case Part::Kind::Literal:
            case Part::Kind::Any:
            case Part::Kind::Class:
                return CharEnds(part, from);
            case Part::Kind::Group:
                return GroupEnds(part, from);
            case Part::Kind::Repeat:
                return RepeatEnds(part, from);
            case Part::Kind::Not:
                return NegationEnds(part, from);
        }
        return Ends(n + 1, false);
    }

    // One character that the part accepts, after each start.
    Ends CharEnds(const Part& part, const Ends& from) const {
        const size_t n = s_.size();
        Ends to(n + 1, false);
        for (size_t i = 0; i < n; ++i) {
            if (!from[i]) {
                continue;
            }
            const char c = s_[i];
            const bool ok = part.kind == Part::Kind::Any ||
                            (part.kind == Part::Kind::Literal && Fold(c) == Fold(part.c)) ||
                            (part.kind == Part::Kind::Class && InClass(part, c));
            to[i + 1] = to[i + 1] || ok;
        }
        return to;
    }

    // The ends of any of the alternatives.
    Ends GroupEnds(const Part& part, const Ends& from) const {
        const size_t n = s_.size();
        Ends to(n + 1, false);
        for (const Sequence& alt : part.alternatives) {
            const Ends e = SequenceEnds(alt, from);
            for (size_t i = 0; i <= n; ++i) {
                to[i] = to[i] || e[i];
            }
        }
        return to;
    }

    // Zero or more times: the starts themselves, then every end reached from the new ones
    // until no more appear.
    Ends RepeatEnds(const Part& part, const Ends& from) const {
        const size_t n = s_.size();
        Ends to = from;
        Ends frontier = from;
        for (bool grew = true; grew;) {
            const Ends next = SequenceEnds(part.alternatives[0], frontier);
            grew = false;
            frontier.assign(n + 1, false);
            for (size_t i = 0; i <= n; ++i) {
                if (next[i] && !to[i]) {
                    to[i] = true;
                    frontier[i] = true;
                    grew = true;
                }
            }
        }
        return to;
    }

    // From each start, every end that the negated part cannot reach from there.
    Ends NegationEnds(const Part& part, const Ends& from) const {
        const size_t n = s_.size();
        Ends to(n + 1, false);
        for (size_t i = 0; i <= n; ++i) {
            if (!from[i]) {
                continue;
            }
            const Ends& reached = NotEnds(part, i);
            for (size_t e = i; e <= n; ++e) {
                to[e] = to[e] || reached[e];
            }
        }
        return to;
    }

    std::string s_;
    bool noCase_;
    mutable std::unordered_map<const Part*, std::vector<Ends>> notEnds_;
    mutable size_t work_ = 0;
    mutable bool givenUp_ = false;
};

LONG Parse(CONST_STRPTR source, STRPTR dest, LONG destLength, char caseMark) {
    if (source == nullptr || dest == nullptr) {
        return -1;
    }
    const size_t length = std::strlen(source);
    if (destLength < 0 || static_cast<size_t>(destLength) < 2 * length + 2) {
        return -1;
    }
    // The parsed form (two mark bytes, the pattern, its 0) would need one byte more than the
    // documented room for an empty pattern; the empty text, which matches the same, fits.
    if (length == 0) {
        dest[0] = '\0';
        return 0;
    }
    Sequence parsed;
    Parser parser(source);
    if (!parser.Parse(parsed)) {
        return -1;
    }
    dest[0] = kParsedMark;
    dest[1] = caseMark;
    std::memcpy(dest + 2, source, length + 1);
    return parser.wild ? 1 : 0;
}

BOOL Match(CONST_STRPTR pattern, CONST_STRPTR string, bool noCase) {
    if (pattern == nullptr || string == nullptr) {
        return FALSE;
    }
    // A pattern that was never parsed is taken as it is.
    const char* text = pattern[0] == kParsedMark && pattern[1] != '\0' ? pattern + 2 : pattern;
    Sequence parsed;
    Parser parser(text);
    if (!parser.Parse(parsed)) {
        return FALSE;
    }
    return Matcher(string, noCase).Whole(parsed) ? TRUE : FALSE;
}

}  // namespace

LONG ParsePattern(CONST_STRPTR source, STRPTR dest, LONG destLength) {
    return Parse(source, dest, destLength, 'c');
}

LONG ParsePatternNoCase(CONST_STRPTR source, STRPTR dest, LONG destLength) {
    return Parse(source, dest, destLength, 'n');
}

BOOL MatchPattern(CONST_STRPTR pattern, CONST_STRPTR string) {
    return Match(pattern, string, false);
}

BOOL MatchPatternNoCase(CONST_STRPTR pattern, CONST_STRPTR string) {
    return Match(pattern, string, true);
}
