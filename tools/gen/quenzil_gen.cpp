// quenzil-gen: writes the source of Quenzil's sample volume.
//
//   quenzil-gen OUTPUT_FILE
//
// The sample volume has 207 pages, each a main-text article followed by its
// commentary article, and an index of chapters listing the pages. The prose
// is generated: a lexicon of invented words, built from common Hebrew
// letters as stems and endings, and a short list of everyday function words,
// drawn with the frequencies of real prose (a few words all the time, most
// of them rarely), in the pairs and set phrases that real prose repeats, and
// set into sentences with the usual punctuation. It only has to look like a
// real volume, exercise the reader's limits and pack as a real text does
// (to well under half its size: common words recur within the packer's
// window). Everything comes from one fixed seed and our own PRNG, so the
// output is byte-identical on every run and platform.
//
// Sections:
//   1. Checks and the letter code
//   2. Pseudo-random numbers
//   3. Hebrew numerals
//   4. Words
//   5. Paragraphs
//   6. Articles
//   7. The volume and its index
//   8. Writing the file

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

// ---- 1. Checks and the letter code --------------------------------------
//
// Texts are built directly in the letter code the packer stores: one byte
// per character, the 27 Hebrew letters as 0x61..0x7B, punctuation as itself.
// So a string's size is its packed size, and the limits can be checked as we
// go. It is turned back into UTF-8 only when the file is written.

void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "quenzil-gen: internal error: %s\n", what);
    std::exit(1);
}

constexpr char kFirstLetter = 0x61;   // U+05D0
constexpr char kLastLetter = 0x7B;    // U+05EA
constexpr std::string_view kMarks = " :.'\"()[]";

bool is_letter(char c) { return c >= kFirstLetter && c <= kLastLetter; }

// UTF-8 Hebrew (and the few marks we use) to the letter code.
std::string enc(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == 0xD7 && i + 1 < utf8.size()) {
            const auto d = static_cast<unsigned char>(utf8[++i]);
            require(d >= 0x90 && d <= 0xAA, "not a Hebrew letter");
            out.push_back(static_cast<char>(kFirstLetter + (d - 0x90)));
        } else {
            require(kMarks.find(utf8[i]) != std::string_view::npos, "character outside the volume's set");
            out.push_back(utf8[i]);
        }
    }
    return out;
}

void append_utf8(std::string& out, const std::string& code) {
    for (const char c : code) {
        if (is_letter(c)) {
            out.push_back(static_cast<char>(0xD7));
            out.push_back(static_cast<char>(0x90 + (c - kFirstLetter)));
        } else {
            require(kMarks.find(c) != std::string_view::npos, "character outside the volume's set");
            out.push_back(c);
        }
    }
}

// כ מ נ פ צ take a final form at the end of a word. In Unicode, and so in
// the code, each final form sits right before its ordinary letter.
const std::string kHasFinal = enc("כמנפצ");
const std::string kFinals = enc("ךםןףץ");

bool has_final_form(char c) { return kHasFinal.find(c) != std::string::npos; }
bool is_final_form(char c) { return kFinals.find(c) != std::string::npos; }

// A word obeys the final-form rule: in each run of letters (an abbreviation
// has two, split by its gershayim) a final form comes only last, and the last
// letter is never one that should have been written final.
bool word_ok(std::string_view w) {
    if (w.empty() || !is_letter(w.front())) return false;
    for (std::size_t i = 0; i < w.size(); ++i) {
        const bool run_ends = i + 1 == w.size() || !is_letter(w[i + 1]);
        if (!is_letter(w[i])) {
            if (w[i] != '"' && w[i] != '\'') return false;
        } else if (run_ends ? has_final_form(w[i]) : is_final_form(w[i])) {
            return false;
        }
    }
    return true;
}

// ---- 2. Pseudo-random numbers -------------------------------------------
//
// splitmix64, with our own range reduction: the standard distributions give
// different sequences on different standard libraries.

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // Uniform in [lo, hi]; the modulo bias is far too small to matter here.
    std::size_t range(std::size_t lo, std::size_t hi) { return lo + static_cast<std::size_t>(next() % (hi - lo + 1)); }
    bool chance(std::size_t percent) { return range(0, 99) < percent; }

    template <std::size_t N>
    std::size_t weighted(const std::array<int, N>& weights) {
        int total = 0;
        for (const int w : weights) total += w;
        auto r = static_cast<int>(range(0, static_cast<std::size_t>(total - 1)));
        std::size_t i = 0;
        while (r >= weights[i]) r -= weights[i++];
        return i;
    }

    template <typename T>
    const T& pick(const std::vector<T>& v) { return v[range(0, v.size() - 1)]; }

    // A size drawn from bands: {percent, lo, hi}, the percents adding to 100.
    struct Band {
        std::size_t percent, lo, hi;
    };
    std::size_t banded(std::initializer_list<Band> bands) {
        std::size_t r = range(0, 99);
        for (const Band& b : bands) {
            if (r < b.percent) return range(b.lo, b.hi);
            r -= b.percent;
        }
        return bands.begin()->lo;
    }

private:
    std::uint64_t state_;
};

// ---- 3. Hebrew numerals -------------------------------------------------
//
// Letter values: א..ט are 1..9, י..צ are 10..90, ק ר ש ת are 100..400; 15 and
// 16 are written טו and טז. A one-letter numeral takes a geresh.

std::string numeral(std::size_t n) {
    require(n >= 1 && n <= 499, "numeral out of range");
    static const std::string ones = enc("אבגדהוזחט");
    static const std::string tens = enc("יכלמנסעפצ");
    static const std::string hundreds = enc("קרשת");
    std::string s;
    if (n >= 100) s += hundreds[n / 100 - 1];
    n %= 100;
    if (n == 15 || n == 16) {
        s += ones[8];
        s += ones[n - 10];
    } else {
        if (n >= 10) s += tens[n / 10 - 1];
        if (n % 10 != 0) s += ones[n % 10 - 1];
    }
    if (s.size() == 1) s += '\'';
    return s;
}

// ---- 4. Words -----------------------------------------------------------
//
// Random letters for every word would give a text in which nothing recurs:
// it would neither look like prose nor pack like it. So the words come from
// a lexicon built once: the function words below and a few thousand
// invented words, ranked, and drawn by Zipf's law. On top of that, as in
// real prose, words keep company (each has a few favourite followers), a
// commentary has its stock phrases, each page has the words of its own
// subject, and a writer takes up a few words he wrote a little earlier.

std::vector<std::string> word_list(std::initializer_list<const char*> words) {
    std::vector<std::string> out;
    for (const char* w : words) {
        out.push_back(enc(w));
        require(word_ok(out.back()), "listed word breaks the final-form rule");
    }
    return out;
}

const std::vector<std::string> kCommon = word_list(
    {"של", "את", "על", "אם", "כי", "לא", "הוא", "היא", "זה", "זו", "אמר", "וכן", "אבל", "היה", "כל", "מה",
     "אין", "יש", "רבי", "דבר", "עם", "גם", "או", "אשר", "כמו", "אלא", "לפי", "ולא", "שהוא", "ואם", "אף",
     "כן", "אז", "עד", "בין", "מן", "כאן", "הם", "הן", "לו", "לה", "בו", "בה", "זאת", "עוד", "אחר", "כדי",
     "הרי", "ודאי", "שם", "אלו", "אותו", "הזה", "ההוא", "כך", "אמרו", "תנא", "שנאמר", "כתיב", "מאי", "קא",
     "בזה", "ועל", "לכן", "אחד", "שני", "דברי", "הכא", "היכי"});

// Abbreviations keep their mark inside the word, after a letter that has no
// final form, so that each run of letters still reads as a proper word.
const std::vector<std::string> kAbbreviations =
    word_list({"ר\"ל", "ז\"ל", "ד\"ה", "וכו'", "רש\"י", "ח\"ו", "ב\"ה", "ת\"ל", "א\"ל", "ע\"ש", "כו'"});

// The 22 letters that start or continue a word, weighted roughly like Hebrew
// text (a final form counts with its letter).
const std::string kLetters = enc("אבגדהוזחטיכלמנסעפצקרשת");
constexpr std::array<int, 22> kLetterWeights = {63, 47, 13, 26, 105, 100, 9, 23, 12, 110, 27,
                                                74, 88, 53, 10, 35, 17, 10, 16, 57, 45, 53};
const std::string kPrefixes = enc("והבלמשכ");
constexpr std::array<int, 7> kPrefixWeights = {40, 20, 15, 12, 6, 5, 2};
constexpr std::size_t kPrefixPercent = 15;
// After a function word, a noun very often takes the article ה.
constexpr std::size_t kArticlePercent = 30;

// No letter three times running; it looks like a typo, not a word.
bool has_triple(std::string_view w) {
    for (std::size_t i = 2; i < w.size(); ++i)
        if (w[i] == w[i - 1] && w[i] == w[i - 2]) return true;
    return false;
}

// Appends `length` random letters to w, none of them a final form.
void add_letters(Rng& rng, std::size_t length, std::string& w) {
    length += w.size();
    while (w.size() < length) {
        const char c = kLetters[rng.weighted(kLetterWeights)];
        if (w.size() >= 2 && w[w.size() - 1] == c && w[w.size() - 2] == c) continue;
        w += c;
    }
}

// A last כ מ נ פ צ becomes its final form, the code just before it.
void end_word(std::string& w) {
    if (has_final_form(w.back())) w.back() = static_cast<char>(w.back() - 1);
}

// A lone final form or rare letter does not pass for a word.
std::string one_letter_word(Rng& rng) {
    static const std::string one_letter = enc("הובלשדאי");
    return std::string(1, one_letter[rng.range(0, one_letter.size() - 1)]);
}

// An invented word of `length` letters.
std::string invented_word(Rng& rng, std::size_t length) {
    if (length == 1) return one_letter_word(rng);
    std::string w;
    add_letters(rng, length, w);
    end_word(w);
    return w;
}

// Invented words are built as Hebrew ones are: a stem and, about half the
// time, one of the common endings. A stem comes back with several endings,
// so that even a rare word shares its stem with words that turn up often.
// Stem lengths 1..7 (a stem of one letter is a word of its own, without an
// ending); with the endings and prefixes, the words of the text average
// about three and a half letters.
const std::vector<std::string> kEndings = {"", enc("ה"), enc("ו"), enc("י"), enc("ת"),
                                           enc("ים"), enc("ות"), enc("ין"), enc("יה")};
constexpr std::array<int, 9> kEndingWeights = {50, 12, 6, 6, 5, 9, 7, 3, 2};
constexpr std::array<int, 7> kBareStemLengths = {5, 30, 36, 18, 7, 3, 1};
constexpr std::size_t kNewStemPercent = 12;
// Stems are drawn again by Zipf's law (below), but with a large shift, so
// that no one stem's forms crowd the text.
constexpr std::size_t kStemShift = 15;

// Draws an index in proportion to weights that were summed in advance.
class Weights {
public:
    void add(std::uint64_t weight) { sums_.push_back(total() + weight); }
    std::uint64_t total() const { return sums_.empty() ? 0 : sums_.back(); }

    std::size_t draw(Rng& rng) const {
        require(!sums_.empty(), "drawing from no weights");
        const std::uint64_t r = rng.next() % total();
        return static_cast<std::size_t>(std::upper_bound(sums_.begin(), sums_.end(), r) - sums_.begin());
    }

private:
    std::vector<std::uint64_t> sums_;
};

// The integer square root: the largest s with s * s <= n.
std::uint64_t isqrt(std::uint64_t n) {
    std::uint64_t s = 0;
    for (std::uint64_t bit = std::uint64_t{1} << 31; bit != 0; bit >>= 1)
        if ((s + bit) * (s + bit) <= n) s += bit;
    return s;
}

// Words come up as in real prose, by Zipf's law: the word of rank r (from 0)
// about in proportion to 1 / r, here 1 / (r + kZipfShift)^(9/8). The shift
// keeps the very first ranks from taking too large a share (the commonest
// word makes about one word in thirty); the exponent, a little over one,
// keeps the tail of rare words as thin as in a real text. A few
// thousand words drawn this way give a text whose common words recur all
// the time, as they do in a real book, and whose rare words still make it
// read as varied prose. The weights are computed in integers, with
// x^(1/8) in 16.16 fixed point from three square roots, so that they are
// the same on every platform.
constexpr std::size_t kInventedWords = 2500;
constexpr std::size_t kZipfShift = 5;

std::uint64_t zipf_weight(std::size_t rank, std::size_t shift) {
    const auto x = static_cast<std::uint64_t>(rank + shift);
    require(x >= 1 && x < (std::uint64_t{1} << 24), "Zipf rank out of range");
    const std::uint64_t root2 = isqrt(x << 32);         // x^(1/2) * 2^16
    const std::uint64_t root4 = isqrt(root2 << 16);     // x^(1/4) * 2^16
    const std::uint64_t root8 = isqrt(root4 << 16);     // x^(1/8) * 2^16
    return (std::uint64_t{1} << 48) / (x * root8);
}

// Stock phrases of two or three words, which commentary prose leans on,
// drawn by Zipf's law with a larger shift than the words.
constexpr std::size_t kPhrases = 64;
constexpr std::size_t kPhraseShift = 11;

// Words keep company: each word has a few words that often follow it, and
// one of them follows it kFollowPercent of the time, the first of them most
// often. This is what makes the pairs and runs of words recur that real
// prose is full of.
constexpr std::size_t kFollowers = 3;
constexpr std::array<int, kFollowers> kFollowerWeights = {6, 3, 1};
constexpr std::size_t kFollowPercent = 80;

struct Lexicon {
    std::vector<std::string> words;   // the most common first
    std::vector<bool> invented;       // false for the listed function words
    Weights by_rank;
    // The ranks of the words of each length, with their weights, for
    // filling a paragraph to its size.
    std::array<std::vector<std::size_t>, 9> of_length;
    std::array<Weights, 9> of_length_weights;
    std::vector<std::array<std::size_t, kFollowers>> followers;   // by rank, the ranks that often follow
    std::vector<std::string> phrases;   // the most common first
    std::vector<std::size_t> phrase_ends;   // the rank of each phrase's last word
    Weights phrase_weights;

    std::size_t draw_rank(Rng& rng) const { return by_rank.draw(rng); }
};

// The lexicon: kInventedWords invented words, all different, and the
// function words. The function words hold most of the first ranks, as they
// do in Hebrew: function word i goes to rank i + i*i/60 or the first free
// one after it, so the top ten ranks are nearly all theirs and the last of
// them is around rank 150. The invented words fill the ranks between, in
// the order they were made.
Lexicon make_lexicon(Rng& rng) {
    Lexicon lex;
    std::set<std::string> taken(kCommon.begin(), kCommon.end());
    std::vector<std::string> invented;
    std::vector<std::string> stems;
    Weights stem_weights;
    while (invented.size() < kInventedWords) {
        std::string w;
        if (stems.empty() || rng.chance(kNewStemPercent)) {
            const std::size_t length = rng.weighted(kBareStemLengths) + 1;
            if (length == 1) {
                w = one_letter_word(rng);
            } else {
                add_letters(rng, length, w);
                stems.push_back(w);
                stem_weights.add(zipf_weight(stems.size() - 1, kStemShift));
            }
        } else {
            w = stems[stem_weights.draw(rng)];
        }
        if (w.size() >= 2) w += kEndings[rng.weighted(kEndingWeights)];
        end_word(w);
        if (!has_triple(w) && taken.insert(w).second) invented.push_back(std::move(w));
    }
    std::size_t next_common = 0, next_invented = 0;
    while (next_common < kCommon.size() || next_invented < invented.size()) {
        const std::size_t rank = lex.words.size();
        const std::size_t i = next_common;
        const bool common = i < kCommon.size() && (i + i * i / 60 <= rank || next_invented == invented.size());
        lex.words.push_back(common ? kCommon[next_common++] : invented[next_invented++]);
        lex.invented.push_back(!common);
    }
    for (std::size_t rank = 0; rank < lex.words.size(); ++rank) {
        const std::string& w = lex.words[rank];
        require(word_ok(w), "lexicon word breaks the final-form rule");
        lex.by_rank.add(zipf_weight(rank, kZipfShift));
        if (w.size() < lex.of_length.size()) {
            lex.of_length[w.size()].push_back(rank);
            lex.of_length_weights[w.size()].add(zipf_weight(rank, kZipfShift));
        }
    }

    // A word's followers are drawn by rank like any word, but never the word
    // itself.
    for (std::size_t rank = 0; rank < lex.words.size(); ++rank) {
        std::array<std::size_t, kFollowers> f{};
        for (std::size_t& r : f) {
            do r = lex.draw_rank(rng);
            while (r == rank);
        }
        lex.followers.push_back(f);
    }

    // A stock phrase often opens with a function word and always holds at
    // least one invented word, so it reads as a formula and not as a run of
    // particles; no word comes twice in a row.
    std::set<std::string> phrases;
    while (lex.phrases.size() < kPhrases) {
        const std::size_t n = rng.range(2, 3);
        std::vector<std::size_t> ranks;
        bool has_invented = false;
        while (ranks.size() < n) {
            std::size_t r = lex.draw_rank(rng);
            if (ranks.empty() && rng.chance(50)) r = rng.range(0, 30);
            if (!ranks.empty() && ranks.back() == r) continue;
            has_invented = has_invented || lex.invented[r];
            ranks.push_back(r);
        }
        if (!has_invented) continue;
        std::string p;
        for (const std::size_t r : ranks) p += (p.empty() ? "" : " ") + lex.words[r];
        if (phrases.insert(p).second) {
            lex.phrases.push_back(p);
            lex.phrase_ends.push_back(ranks.back());
        }
    }
    // Their frequencies fall off more gently than the words', so that no one
    // formula takes over.
    for (std::size_t i = 0; i < lex.phrases.size(); ++i) lex.phrase_weights.add(zipf_weight(i, kPhraseShift));
    return lex;
}

// The words a page is about: invented words of any rank past the first
// few dozen, which the lexicon alone would bring up only now and then. They
// are drawn among themselves by Zipf's law too, so each page has a couple of
// key words and a longer tail of its own.
constexpr std::size_t kTopicWords = 20;
constexpr std::size_t kTopicShift = 5;

struct Topic {
    std::vector<std::size_t> ranks;
    Weights weights;
};

Topic topic_words(Rng& rng, const Lexicon& lex) {
    Topic topic;
    std::set<std::size_t> chosen;
    while (topic.ranks.size() < kTopicWords) {
        const std::size_t r = rng.range(30, lex.words.size() - 1);
        if (lex.invented[r] && lex.words[r].size() >= 2 && chosen.insert(r).second) {
            topic.ranks.push_back(r);
            topic.weights.add(zipf_weight(topic.ranks.size() - 1, kTopicShift));
        }
    }
    return topic;
}

// How one article's prose draws its words: from the lexicon, from a few
// words the page is about (each page has its own subject, and its words
// keep coming back, in the text and in its commentary), from the stock
// phrases, which a commentary uses more, and from what the article has
// already said: a writer comes back to a few words he wrote a little
// earlier, to take up a point again.
struct Voice {
    const Lexicon* lexicon;
    const Topic* topic;
    std::size_t topic_percent;
    std::size_t phrase_percent;
    std::size_t echo_percent;
    std::vector<std::string> written;   // the article's plain words so far
};

// How far back an echo reaches, in words, and how long it is. It never
// takes up the last few words, which would read as a stutter.
constexpr std::size_t kEchoReach = 250;
constexpr std::size_t kEchoNear = 20;
constexpr std::size_t kEchoMin = 3;
constexpr std::size_t kEchoMax = 5;

// The rank of the last word written, for its followers; kNoWord after a
// subject word or at the start of a paragraph.
constexpr std::size_t kNoWord = SIZE_MAX;

// The next word, stock phrase or echo of a paragraph, after the word of
// rank *previous. A prefix goes only on an invented word of 2 to 6 letters,
// and never makes a letter three times running.
std::string draw_words(Rng& rng, const Voice& voice, std::size_t& previous) {
    const Lexicon& lex = *voice.lexicon;
    const std::vector<std::string>& written = voice.written;
    if (written.size() >= kEchoNear + kEchoMax && rng.chance(voice.echo_percent)) {
        const std::size_t n = rng.range(kEchoMin, kEchoMax);
        const std::size_t reach = std::min(written.size(), kEchoReach);
        const std::size_t start = written.size() - reach + rng.range(0, reach - kEchoNear - n);
        std::string words;
        for (std::size_t i = start; i < start + n; ++i) words += (words.empty() ? "" : " ") + written[i];
        previous = kNoWord;
        return words;
    }
    if (rng.chance(voice.phrase_percent)) {
        const std::size_t i = lex.phrase_weights.draw(rng);
        previous = lex.phrase_ends[i];
        return lex.phrases[i];
    }
    const bool after_function_word = previous != kNoWord && !lex.invented[previous];
    std::string w;
    bool invented = true;
    if (previous != kNoWord && rng.chance(kFollowPercent)) {
        previous = lex.followers[previous][rng.weighted(kFollowerWeights)];
        w = lex.words[previous];
        invented = lex.invented[previous];
    } else if (rng.chance(voice.topic_percent)) {
        previous = voice.topic->ranks[voice.topic->weights.draw(rng)];
        w = lex.words[previous];
    } else {
        previous = lex.draw_rank(rng);
        w = lex.words[previous];
        invented = lex.invented[previous];
    }
    if (invented && w.size() >= 2 && w.size() <= 6) {
        char p = 0;
        if (after_function_word && rng.chance(kArticlePercent)) {
            p = kPrefixes[1];
        } else if (rng.chance(kPrefixPercent)) {
            p = kPrefixes[rng.weighted(kPrefixWeights)];
        }
        if (p != 0 && (w[0] != p || w[1] != p)) w.insert(w.begin(), p);
    }
    return w;
}

// As draw_words, but never the word just written again.
std::string random_words(Rng& rng, const Voice& voice, std::size_t& previous) {
    const std::size_t after = previous;
    for (;;) {
        previous = after;
        std::string words = draw_words(rng, voice, previous);
        if (voice.written.empty()) return words;
        const std::string& last = voice.written.back();
        if (words.compare(0, last.size(), last) != 0 || (words.size() > last.size() && words[last.size()] != ' '))
            return words;
    }
}

// A word of exactly `length` letters, for filling a paragraph to its size:
// a lexicon word of that length, drawn by its rank.
std::string word_of_length(Rng& rng, const Lexicon& lex, std::size_t length) {
    if (length < lex.of_length.size() && !lex.of_length[length].empty())
        return lex.words[lex.of_length[length][lex.of_length_weights[length].draw(rng)]];
    return invented_word(rng, length);
}

// ---- 5. Paragraphs ------------------------------------------------------
//
// A paragraph is written to an exact size, so that every article hits its
// planned size to the byte. Words are added with their marks while there is
// comfortable room; then the last few words are cut to fill what is left,
// any open marks are closed and the final ':' or '.' is put on.

constexpr std::size_t kMaxText = 2924;
constexpr std::size_t kMaxArticle = 5570;
constexpr std::size_t kMinParagraph = 15;
constexpr std::size_t kSlack = 10;

// Sentences in words; some short, most medium, a quarter long.
std::size_t sentence_length(Rng& rng) { return rng.banded({{20, 3, 6}, {55, 7, 16}, {25, 17, 32}}); }

char sentence_end(Rng& rng) { return rng.chance(45) ? ':' : '.'; }

// Adds the words of a word or stock phrase to a list, one by one.
void add_words(std::vector<std::string>& list, std::string_view words) {
    for (std::size_t start = 0;;) {
        const std::size_t end = words.find(' ', start);
        list.emplace_back(words.substr(start, end - start));
        if (end == std::string_view::npos) return;
        start = end + 1;
    }
}

struct Mark {
    char close;
    std::size_t left;   // words still to come inside it, counting the current one
};

// Writes a paragraph of exactly `length` bytes in the given voice. The plain
// words used (not the abbreviations) are appended to the voice's record of
// what its article has said, and to *seen, if given, so that a commentary
// can quote them.
std::string paragraph(Rng& rng, Voice& voice, std::size_t length, std::vector<std::string>* seen) {
    require(length >= kMinParagraph && length <= kMaxText, "paragraph size out of range");
    std::string out;
    std::vector<Mark> open;
    std::size_t sentence_left = sentence_length(rng);
    std::size_t previous = kNoWord;

    for (;;) {
        // Build the next word with its marks on copies of the state, and keep
        // it only if it leaves room to close everything and end the paragraph.
        std::vector<Mark> next_open = open;
        std::size_t next_left = sentence_left;
        std::string token = out.empty() ? "" : " ";
        std::string word;
        bool plain = true;
        if (open.empty() && rng.chance(3)) {
            word = rng.pick(kAbbreviations);
            plain = false;
        } else {
            word = random_words(rng, voice, previous);
            // An opening mark goes right before a word and covers a few words,
            // never past the end of the sentence or of an enclosing mark.
            auto may_open = [&](char open_c, char close_c, std::size_t percent, std::size_t max_span) {
                if (next_open.size() >= 2 || !rng.chance(percent)) return;
                for (const Mark& m : next_open)
                    if (m.close == close_c) return;
                std::size_t limit = next_open.empty() ? next_left : next_open.back().left;
                std::size_t span = rng.range(1, max_span);
                if (span > limit) span = limit;
                token += open_c;
                next_open.push_back({close_c, span});
            };
            may_open('(', ')', 2, 6);
            may_open('[', ']', 1, 4);
            may_open('"', '"', 3, 5);
        }
        token += word;
        --next_left;
        for (Mark& m : next_open) --m.left;
        while (!next_open.empty() && next_open.back().left == 0) {
            token += next_open.back().close;
            next_open.pop_back();
        }
        if (next_left == 0) {
            require(next_open.empty(), "mark left open at the end of a sentence");
            token += sentence_end(rng);
            next_left = sentence_length(rng);
        }
        if (out.size() + token.size() + next_open.size() + 1 + kSlack > length) break;
        out += token;
        open = next_open;
        sentence_left = next_left;
        if (plain) add_words(voice.written, word);
        if (plain && seen != nullptr) add_words(*seen, word);
    }

    // Fill the rest exactly with short words, then close and end.
    const std::size_t reserve = open.size() + 1;
    while (out.size() + reserve < length) {
        const std::size_t room = length - reserve - out.size();
        const std::size_t sep = out.empty() ? 0 : 1;
        const std::size_t size = room - sep <= 8 ? room - sep : rng.range(2, 5);
        const std::string w = word_of_length(rng, *voice.lexicon, size);
        if (sep != 0) out += ' ';
        out += w;
        voice.written.push_back(w);
        if (seen != nullptr) seen->push_back(w);
    }
    while (!open.empty()) {
        out += open.back().close;
        open.pop_back();
    }
    out += sentence_end(rng);
    require(out.size() == length, "paragraph missed its size");
    return out;
}

// ---- 6. Articles --------------------------------------------------------
//
// Sizes count as the packer stores them: each record is two header bytes,
// its text and a terminator; each article ends with three more bytes.

struct Record {
    const char* kind;
    std::string text;
    std::size_t id = 0;   // index records: the heading's id or the entry's article
};

struct Article {
    std::size_t number;
    std::vector<Record> records;
};

std::size_t record_size(const std::string& text) { return 2 + text.size() + 1; }

std::size_t article_size(const Article& a) {
    std::size_t n = 3;
    for (const Record& r : a.records) n += record_size(r.text);
    return n;
}

// Room kept after a paragraph that is not the last one, so that another
// record (and for a commentary, a lemma with its note) still fits.
constexpr std::size_t kTextReserve = 50;
constexpr std::size_t kNoteReserve = 80;

// The size of the next paragraph: the drawn size if that leaves room for
// more, otherwise exactly what is left (this is the last one).
std::size_t next_size(std::size_t avail, std::size_t drawn, std::size_t reserve, bool& last) {
    if (avail >= drawn + reserve) return drawn;
    if (avail <= kMaxText) {
        last = true;
        return avail;
    }
    return avail - reserve;
}

// Paragraph sizes in bytes: some short, most medium, a few long. Notes run
// shorter than the text they explain.
std::size_t text_size(Rng& rng) { return rng.banded({{10, 40, 250}, {68, 250, 1100}, {19, 1100, 2300}, {3, 2300, 2800}}); }
std::size_t note_size(Rng& rng) { return rng.banded({{30, 30, 220}, {58, 220, 800}, {12, 800, 1800}}); }

std::string title(const char* words, std::size_t page) {
    std::string t = enc(words) + numeral(page);
    require(t.size() == 10 || t.size() == 11, "title is not 10 or 11 characters");
    return t;
}

// What one page should look like: the planned size of each article, an
// optional fixed size for its first paragraph or note, and an aside.
struct PagePlan {
    std::size_t main_size;
    std::size_t first_text;   // 0: drawn like the others
    std::size_t comment_size;
    std::size_t first_note;   // 0: drawn like the others
    const char* aside;        // nullptr: none
};

Article main_text(Rng& rng, Voice voice, std::size_t page, const PagePlan& plan,
                  std::vector<std::string>& seen) {
    Article a{2 * page - 1, {{"title", title("הגוף דף ", page)}}};
    std::size_t used = 3 + record_size(a.records[0].text);
    for (bool last = false; !last;) {
        const std::size_t drawn = a.records.size() == 1 && plan.first_text != 0 ? plan.first_text : text_size(rng);
        const std::size_t size = next_size(plan.main_size - used - 3, drawn, kTextReserve, last);
        a.records.push_back({"text", paragraph(rng, voice, size, &seen)});
        used += record_size(a.records.back().text);
    }
    return a;
}

// A lemma quotes one to four words of the page's text, moving forward
// through it as the commentary goes on, as a running commentary does.
std::string lemma(Rng& rng, const std::vector<std::string>& words, std::size_t& cursor, std::size_t step) {
    constexpr std::array<int, 4> kLemmaWords = {20, 40, 25, 15};
    const std::size_t n = rng.weighted(kLemmaWords) + 1;
    require(words.size() > n, "page text too short to quote");
    std::size_t start = cursor + rng.range(0, step);
    if (start + n > words.size()) start = rng.range(0, words.size() - n);
    cursor = start + n;
    std::string out;
    for (std::size_t i = start; i < start + n; ++i) out += (i == start ? "" : " ") + words[i];
    return out;
}

Article commentary(Rng& rng, Voice voice, std::size_t page, const PagePlan& plan,
                   const std::vector<std::string>& seen) {
    Article a{2 * page, {{"title", title("פרוש דף ", page)}}};
    std::size_t used = 3 + record_size(a.records[0].text);
    const std::size_t pairs = plan.comment_size / 450 + 1;
    const std::size_t step = seen.size() / pairs + 1;
    std::size_t cursor = 0;
    for (bool last = false; !last;) {
        const bool first = a.records.size() == 1;
        const std::string quoted = lemma(rng, seen, cursor, step);
        a.records.push_back({"lemma", quoted});
        used += record_size(quoted);
        // The aside follows the first note; its room is set apart first.
        const std::size_t aside = first && plan.aside != nullptr ? record_size(enc(plan.aside)) : 0;
        const std::size_t drawn = first && plan.first_note != 0 ? plan.first_note : note_size(rng);
        const std::size_t size = next_size(plan.comment_size - used - 3 - aside, drawn, kNoteReserve, last);
        a.records.push_back({"note", paragraph(rng, voice, size, nullptr)});
        used += record_size(a.records.back().text);
        if (aside != 0) {
            a.records.push_back({"aside", enc(plan.aside)});
            used += aside;
        }
    }
    return a;
}

// ---- 7. The volume and its index ----------------------------------------

constexpr std::size_t kPages = 207;

// How often, in percent, a word is one of the page's subject words, a stock
// phrase comes instead of a word, and a few words from earlier in the
// article come back: a commentary is more formulaic than its text.
constexpr std::size_t kTextTopicPercent = 20;
constexpr std::size_t kTextPhrasePercent = 6;
constexpr std::size_t kNoteTopicPercent = 25;
constexpr std::size_t kNotePhrasePercent = 12;
constexpr std::size_t kTextEchoPercent = 14;
constexpr std::size_t kNoteEchoPercent = 18;

// Article sizes in bytes, averaging a little under 2,900 so that the volume
// comes to about 1.2 MB.
std::size_t article_plan_size(Rng& rng) { return rng.banded({{12, 500, 1500}, {56, 1500, 3400}, {32, 3400, 5300}}); }

PagePlan plan_page(Rng& rng, std::size_t page) {
    PagePlan p{article_plan_size(rng), 0, article_plan_size(rng), 0, nullptr};
    // A few pages are fixed so that the volume reaches its limits: the
    // largest article, and a paragraph and a note at or near the longest text.
    if (page == 58) {
        p.main_size = kMaxArticle;
        p.first_text = kMaxText;
    }
    if (page == 131) {
        p.comment_size = 5530;
        p.first_note = 2911;
    }
    if (page == 23) p.aside = "א'";
    if (page == 96) p.aside = "ב'";
    if (page == 171) p.aside = "ג'";
    return p;
}

struct Volume {
    std::vector<Article> articles;
    std::vector<Record> index;
};

Volume make_volume() {
    Rng rng(0x51554E5A494C3031ULL);
    const Lexicon lexicon = make_lexicon(rng);
    Volume v;
    for (std::size_t page = 1; page <= kPages; ++page) {
        const PagePlan plan = plan_page(rng, page);
        const Topic topic = topic_words(rng, lexicon);
        const Voice text_voice{&lexicon, &topic, kTextTopicPercent, kTextPhrasePercent, kTextEchoPercent, {}};
        const Voice note_voice{&lexicon, &topic, kNoteTopicPercent, kNotePhrasePercent, kNoteEchoPercent, {}};
        std::vector<std::string> seen;
        v.articles.push_back(main_text(rng, text_voice, page, plan, seen));
        v.articles.push_back(commentary(rng, note_voice, page, plan, seen));
        require(article_size(v.articles[v.articles.size() - 2]) == plan.main_size, "main text missed its size");
        require(article_size(v.articles.back()) == plan.comment_size, "commentary missed its size");
    }
    // Check the limits on what was made, not on what was planned.
    std::size_t total = 0;
    for (const Article& a : v.articles) {
        require(article_size(a) <= kMaxArticle, "article too large");
        for (const Record& r : a.records) require(r.text.size() <= kMaxText, "text too long");
        total += article_size(a);
    }
    require(total >= 1048576 && total <= 1500000, "volume size out of range");

    // Eleven chapters of pages: 16, then nine of 20, then the last 11.
    constexpr std::array<std::size_t, 11> kChapterPages = {16, 20, 20, 20, 20, 20, 20, 20, 20, 20, 11};
    std::size_t page = 1;
    for (std::size_t chapter = 0; chapter < kChapterPages.size(); ++chapter) {
        const std::string heading = enc("פרק ") + numeral(chapter + 1);
        require(heading.size() == 5 || heading.size() == 6, "heading is not 5 or 6 characters");
        v.index.push_back({"heading", heading, 0xBFFE - chapter});
        for (std::size_t i = 0; i < kChapterPages[chapter]; ++i, ++page) {
            const std::string entry = enc("דף ") + numeral(page);
            require(entry.size() == 5 || entry.size() == 6, "entry is not 5 or 6 characters");
            v.index.push_back({"entry", entry, 2 * page - 1});
        }
    }
    require(page == kPages + 1, "index does not cover every page");
    return v;
}

// ---- 8. Writing the file ------------------------------------------------

std::string render(const Volume& v) {
    std::string out =
        "# The sample volume of Quenzil, written by quenzil-gen.\n"
        "# Generated at build time; edit the generator, not this file.\n"
        "quenzil-volume 1\n";
    for (const Article& a : v.articles) {
        out += "article " + std::to_string(a.number) + "\n";
        for (const Record& r : a.records) {
            out += r.kind;
            out += '\t';
            append_utf8(out, r.text);
            out += '\n';
        }
    }
    out += "index\n";
    for (const Record& r : v.index) {
        // Heading ids read better in hexadecimal, entries as article numbers.
        std::array<char, 16> hex{};
        std::snprintf(hex.data(), hex.size(), "0x%04X", static_cast<unsigned>(r.id));
        out += std::string(r.kind) + ' ' + (r.id >= 0x8000 ? std::string(hex.data()) : std::to_string(r.id)) + '\t';
        append_utf8(out, r.text);
        out += '\n';
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quenzil-gen OUTPUT_FILE\n");
        return 2;
    }
    const std::string text = render(make_volume());
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    if (file) file.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (file) file.close();
    if (!file) {
        std::fprintf(stderr, "quenzil-gen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
