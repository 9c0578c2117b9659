#pragma once

// Splits CSV into fields and records the way libcsv does without its strict options, which
// is how survey exports were always split: blanks around an unquoted field dropped, blank
// lines skipped, a stray quote kept as it stands. It is fed the bytes in pieces of any size
// and holds only the field being split, cut at `fieldLimit` bytes.
//
// libcsv itself costs twenty times reading the bytes; this one runs over a field without
// special bytes in a tight loop and hands it over where it lies, copying only a field that
// spans two pieces or loses a doubled quote.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vpl::core {

// Sink: void field(std::string_view), called for every field; void endRecord(), after the
// last field of a record. A field's bytes are valid during the call only.
template <class Sink>
class CsvSplitter {
  public:
    CsvSplitter(char delimiter, Sink& sink, std::size_t fieldLimit)
        : sink_(sink), limit_(fieldLimit), delimiter_(static_cast<unsigned char>(delimiter)) {
        kind_.fill(Ordinary);
        kind_[' '] = Blank;
        // In a tab-delimited file only the space is a blank.
        if (delimiter != '\t') kind_['\t'] = Blank;
        kind_['\r'] = kind_['\n'] = LineEnd;
        kind_['"'] = Quote;
        kind_[static_cast<unsigned char>(delimiter)] = Delimiter;
    }

    void feed(std::string_view bytes) {
        const char* p = bytes.data();
        const std::size_t n = bytes.size();
        piece_ = p;
        std::size_t i = 0;
        while (i < n) {
            if (state_ == State::RowNotBegun || state_ == State::FieldNotBegun) {
                switch (kindOf(p[i])) {
                    case Blank:
                        ++i;
                        break;
                    case LineEnd:
                        // A line with nothing on it is no record.
                        if (state_ == State::FieldNotBegun) {
                            submitField();
                            submitRecord();
                        }
                        ++i;
                        break;
                    case Delimiter:
                        submitField();
                        ++i;
                        break;
                    case Quote:
                        state_ = State::FieldBegun;
                        quoted_ = true;
                        begin(++i);
                        break;
                    default: {
                        // Most fields are unquoted and end in the same piece: handed over
                        // where they lie, without their blanks.
                        const std::size_t end = plainRunEnd(p, i, n);
                        if (end < n && kindOf(p[end]) != Quote) {
                            std::size_t text = end;
                            while (kindOf(p[text - 1]) == Blank) --text;
                            sink_.field(std::string_view(p + i, std::min(text - i, limit_)));
                            state_ = State::FieldNotBegun;
                            if (kindOf(p[end]) == LineEnd) submitRecord();
                            i = end + 1;
                            break;
                        }
                        state_ = State::FieldBegun;
                        quoted_ = false;
                        begin(i);
                        break;
                    }
                }
            } else if (state_ == State::FieldBegun && quoted_) {
                const auto* quote = static_cast<const char*>(std::memchr(p + i, '"', n - i));
                const std::size_t end = quote ? static_cast<std::size_t>(quote - p) + 1 : n;
                append(i, end);  // with the quote, which a delimiter may show to be the last
                if (quote) state_ = State::MightHaveEnded;
                i = end;
            } else if (state_ == State::FieldBegun) {
                const std::size_t end = plainRunEnd(p, i, n);
                std::size_t text = end;
                while (text > i && kindOf(p[text - 1]) == Blank) --text;
                // The blanks at its end so far, which its end drops.
                blanks_ = text == i ? blanks_ + (end - i) : end - text;
                append(i, end);
                i = end;
                if (i == n) break;
                if (kindOf(p[i]) == Quote) {
                    append(i, i + 1);
                    blanks_ = 0;
                } else {
                    submitField();
                    if (kindOf(p[i]) == LineEnd) submitRecord();
                }
                ++i;
            } else {  // MightHaveEnded: after a quote inside a quoted field
                switch (kindOf(p[i])) {
                    case Delimiter:
                    case LineEnd:
                        drop(blanks_ + 1);  // the blanks and the closing quote
                        submitField();
                        if (kindOf(p[i]) == LineEnd) submitRecord();
                        break;
                    case Blank:
                        append(i, i + 1);
                        ++blanks_;
                        break;
                    case Quote:
                        if (blanks_ > 0) {
                            blanks_ = 0;
                            append(i, i + 1);
                        } else {
                            state_ = State::FieldBegun;  // a doubled quote: one is kept
                        }
                        break;
                    default:
                        state_ = State::FieldBegun;
                        blanks_ = 0;
                        append(i, i + 1);
                        break;
                }
                ++i;
            }
        }
        // The field goes on in the next piece, and this one's bytes are gone by then.
        if (state_ == State::FieldBegun || state_ == State::MightHaveEnded) keep();
        piece_ = nullptr;
    }

    // The bytes have ended: the field and record under way are submitted as they stand.
    void finish() {
        switch (state_) {
            case State::MightHaveEnded:
                drop(blanks_ + 1);
                [[fallthrough]];
            case State::FieldNotBegun:
            case State::FieldBegun:
                submitField();
                submitRecord();
                break;
            case State::RowNotBegun:
                break;
        }
    }

  private:
    enum Kind : unsigned char { Ordinary, Blank, Delimiter, Quote, LineEnd };
    enum class State { RowNotBegun, FieldNotBegun, FieldBegun, MightHaveEnded };

    Kind kindOf(char c) const { return kind_[static_cast<unsigned char>(c)]; }

    // Where the run of ordinary bytes and blanks from p[i] ends: at the first delimiter,
    // quote or line end, many bytes at a time.
    std::size_t plainRunEnd(const char* p, std::size_t i, std::size_t n) const {
#if defined(__SSE2__)
        // Sixteen at a time, where every x86-64 machine can.
        for (; i + 16 <= n; i += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const int found = _mm_movemask_epi8(_mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(x, special_[0]), _mm_cmpeq_epi8(x, special_[1])),
                _mm_or_si128(_mm_cmpeq_epi8(x, special_[2]), _mm_cmpeq_epi8(x, special_[3]))));
            if (found != 0) return i + static_cast<std::size_t>(std::countr_zero(unsigned(found)));
        }
#endif
        if constexpr (std::endian::native == std::endian::little) {
            constexpr std::uint64_t kOnes = 0x0101010101010101ull;
            const auto has = [](std::uint64_t word, std::uint64_t c) {
                const std::uint64_t x = word ^ (c * kOnes);
                return (x - kOnes) & ~x & (kOnes << 7);  // exact up to its lowest byte found
            };
            for (; i + 8 <= n; i += 8) {
                std::uint64_t word;
                std::memcpy(&word, p + i, 8);
                const std::uint64_t found =
                    has(word, delimiter_) | has(word, '"') | has(word, '\r') | has(word, '\n');
                if (found != 0) return i + static_cast<std::size_t>(std::countr_zero(found)) / 8;
            }
        }
        while (i < n && kindOf(p[i]) <= Blank) ++i;
        return i;
    }

    // The field starts at p[at] of this piece.
    void begin(std::size_t at) {
        start_ = at;
        length_ = 0;
        kept_ = false;
    }

    // The field goes on with p[from, to).
    void append(std::size_t from, std::size_t to) {
        if (!kept_) {
            if (from == start_ + length_) {
                length_ += to - from;
                return;
            }
            keep();
        }
        if (length_ < limit_) copy_.append(piece_ + from, std::min(to - from, limit_ - length_));
        length_ += to - from;
    }

    // The field's bytes so far, copied: at most the limit of them.
    void keep() {
        if (kept_) return;
        copy_.assign(piece_ + start_, std::min(length_, limit_));
        kept_ = true;
    }

    void drop(std::size_t count) {
        length_ -= count;
        if (kept_ && copy_.size() > length_) copy_.resize(length_);
    }

    void submitField() {
        if (!quoted_) drop(blanks_);
        std::string_view field;
        if (length_ > 0)
            field = kept_ ? std::string_view(copy_)
                          : std::string_view(piece_ + start_, std::min(length_, limit_));
        sink_.field(field);
        state_ = State::FieldNotBegun;
        length_ = blanks_ = 0;
        quoted_ = kept_ = false;
        copy_.clear();
    }

    void submitRecord() {
        sink_.endRecord();
        state_ = State::RowNotBegun;
    }

    Sink& sink_;
    const std::size_t limit_;
    const std::uint64_t delimiter_;
#if defined(__SSE2__)
    // The delimiter, the quote and the line ends, each in every byte.
    const __m128i special_[4] = {_mm_set1_epi8(static_cast<char>(delimiter_)), _mm_set1_epi8('"'),
                                 _mm_set1_epi8('\r'), _mm_set1_epi8('\n')};
#endif
    std::array<Kind, 256> kind_;
    State state_ = State::RowNotBegun;
    const char* piece_ = nullptr;  // the piece being split
    bool quoted_ = false;
    std::size_t blanks_ = 0;  // at the field's end, which a delimiter drops
    // The field: p[start_, start_ + length_) of the piece, or copy_ once kept_; length_ also
    // counts the bytes past the limit that were not copied.
    std::size_t start_ = 0;
    std::size_t length_ = 0;
    bool kept_ = false;
    std::string copy_;
};

}  // namespace vpl::core
