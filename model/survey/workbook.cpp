#include "survey/workbook.h"

#include "survey/survey_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <charconv>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace vpl::core {

WorkbookError::WorkbookError(Reason reason, const std::string& what)
    : std::runtime_error(what), reason(reason) {}

namespace {

using Reason = WorkbookError::Reason;

constexpr std::string_view kZipMagic("PK\x03\x04", 4);
constexpr std::string_view kOleMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// The first bytes of a regular file; none of anything else, which is never waited for.
std::string firstBytes(const std::filesystem::path& file, std::size_t n) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return {};
    std::string bytes;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        bytes.resize(n);
        const ssize_t got = ::read(fd, bytes.data(), n);
        bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    ::close(fd);
    return bytes;
}

// An encrypted workbook is an OLE file holding the stream "EncryptedPackage"; its name
// stands in a directory sector, in UTF-16.
bool holdsEncryptedPackage(const std::filesystem::path& file) {
    std::string name16;
    for (const char c : std::string_view("EncryptedPackage")) (name16 += c) += '\0';
    std::ifstream in(file, std::ios::binary);
    constexpr std::size_t kPiece = std::size_t{1} << 20, kMost = std::size_t{32} << 20;
    std::string window;
    std::vector<char> piece(kPiece);
    for (std::size_t read = 0; read < kMost && in; read += kPiece) {
        in.read(piece.data(), static_cast<std::streamsize>(kPiece));
        const auto n = static_cast<std::size_t>(in.gcount());
        if (n == 0) break;
        window.append(piece.data(), n);
        if (window.find(name16) != std::string::npos) return true;
        window.erase(0, window.size() > name16.size() ? window.size() - name16.size() : 0);
    }
    return false;
}

// ---- The zip --------------------------------------------------------------------------

constexpr std::size_t kPieceSize = std::size_t{256} << 10;

// Runs fill(buffer, size) on a thread of its own, a few pieces ahead of use(bytes), which
// takes them in order on the calling thread, until fill gives 0 bytes. An exception thrown
// by either stops both and comes out here, after the pieces filled before it were used.
template <class Fill, class Use>
void ReadAhead(Fill& fill, Use& use) {
    constexpr std::size_t kAhead = 4;
    std::array<std::string, kAhead> pieces;
    std::size_t filled = 0, used = 0;
    bool ended = false, stopped = false;
    std::exception_ptr failure;
    std::mutex mutex;
    std::condition_variable changed;
    std::thread filler([&] {
        try {
            for (;;) {
                std::string* piece = nullptr;
                {
                    std::unique_lock lock(mutex);
                    changed.wait(lock, [&] { return stopped || filled - used < kAhead; });
                    if (stopped) return;
                    piece = &pieces[filled % kAhead];
                }
                piece->resize(kPieceSize);
                piece->resize(fill(piece->data(), piece->size()));
                {
                    const std::lock_guard lock(mutex);
                    if (piece->empty()) ended = true;
                    else ++filled;
                }
                changed.notify_all();
                if (piece->empty()) return;
            }
        } catch (...) {
            const std::lock_guard lock(mutex);
            failure = std::current_exception();
            ended = true;
            changed.notify_all();
        }
    });
    struct Stopper {
        std::thread& filler;
        std::mutex& mutex;
        std::condition_variable& changed;
        bool& stopped;
        ~Stopper() {
            {
                const std::lock_guard lock(mutex);
                stopped = true;
            }
            changed.notify_all();
            filler.join();
        }
    } stopper{filler, mutex, changed, stopped};
    for (;;) {
        const std::string* piece = nullptr;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return used < filled || ended; });
            if (used == filled) {
                if (failure) std::rethrow_exception(failure);
                return;
            }
            piece = &pieces[used % kAhead];
        }
        use(std::string_view(*piece));
        {
            const std::lock_guard lock(mutex);
            ++used;
        }
        changed.notify_all();
    }
}

class Zip {
  public:
    explicit Zip(const std::filesystem::path& file) {
        std::error_code error;
        packed_ = std::filesystem::file_size(file, error);
        int code = 0;
        zip_ = zip_open(file.c_str(), ZIP_RDONLY, &code);
        if (!zip_) {
            zip_error_t e;
            zip_error_init_with_code(&e, code);
            const std::string what = zip_error_strerror(&e);
            zip_error_fini(&e);
            throw WorkbookError(code == ZIP_ER_NOZIP ? Reason::NotAZip : Reason::Damaged,
                                "the workbook cannot be opened: " + what);
        }
        limit_ = std::min(kWorkbookUnpackedBytes, kWorkbookPackingRatio * std::max<std::uint64_t>(packed_, 1));
    }
    ~Zip() { zip_discard(zip_); }
    Zip(const Zip&) = delete;
    Zip& operator=(const Zip&) = delete;

    bool has(const std::string& name) const { return zip_name_locate(zip_, name.c_str(), 0) >= 0; }

    // Gives the entry's bytes to `piece` as they inflate; false when there is no such entry.
    // Refuses the entry before a byte is inflated when its declared size passes what is
    // left of the limit, and stops inflating when the bytes pass it or its declared size.
    template <class Piece>
    bool inflate(const std::string& name, Piece&& piece) {
        const zip_int64_t index = zip_name_locate(zip_, name.c_str(), 0);
        if (index < 0) return false;
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &st) != 0)
            throw WorkbookError(Reason::Damaged, "the workbook's " + name + " cannot be read");
        const std::uint64_t declared = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
        if (declared > limit_ - unpacked_) tooLarge();
        zip_file_t* f = zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
        if (!f) {
            const bool encrypted = zip_error_code_zip(zip_get_error(zip_)) == ZIP_ER_NOPASSWD;
            throw WorkbookError(encrypted ? Reason::Protected : Reason::Damaged,
                                "the workbook's " + name + " cannot be read");
        }
        struct Closer {
            zip_file_t* f;
            ~Closer() { zip_fclose(f); }
        } closer{f};
        std::uint64_t entry = 0;
        const auto fill = [&](char* buffer, std::size_t size) {
            const zip_int64_t n = zip_fread(f, buffer, size);
            if (n < 0) throw WorkbookError(Reason::Damaged, "the workbook's " + name + " is damaged");
            return static_cast<std::size_t>(n);
        };
        const auto use = [&](std::string_view bytes) {
            entry += bytes.size();
            unpacked_ += bytes.size();
            if (unpacked_ > limit_ || entry > declared) tooLarge();
            piece(bytes);
        };
        // A sheet of tens of megabytes inflates while its XML is read; a small part at once.
        if (declared > kPieceSize) {
            ReadAhead(fill, use);
            return true;
        }
        std::vector<char> buffer(kPieceSize);
        while (const std::size_t n = fill(buffer.data(), buffer.size()))
            use(std::string_view(buffer.data(), n));
        return true;
    }

    std::string whole(const std::string& name) {
        std::string bytes;
        if (!inflate(name, [&](std::string_view piece) { bytes += piece; })) return {};
        return bytes;
    }

  private:
    [[noreturn]] void tooLarge() const {
        throw WorkbookError(Reason::TooLarge,
                            "the workbook unpacks to more than " + std::to_string(limit_ >> 20) +
                                " MB (at most 200 MB, and 100 times its size)");
    }

    zip_t* zip_ = nullptr;
    std::uint64_t packed_ = 0;
    std::uint64_t limit_ = 0;
    std::uint64_t unpacked_ = 0;
};

// ---- XML ------------------------------------------------------------------------------

// The first byte from `from` that is one of `set`. A sheet's tags and values are a few
// bytes each: a loop that ends at a byte it cannot foresee costs a mispredicted branch each
// time, and a call to memchr costs more than the search. Sixteen bytes compared at once,
// where SSE2 is, end almost always in their first round.
template <class... Chars>
[[gnu::always_inline]] inline std::size_t findAnyOf(std::string_view text, std::size_t from,
                                                    Chars... set) {
#if defined(__SSE2__)
    for (; from + 16 <= text.size(); from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + from));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(set)))), ...);
        if (const int mask = _mm_movemask_epi8(hits))
            return from + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)));
    }
#endif
    for (; from < text.size(); ++from)
        if (((text[from] == set) || ...)) return from;
    return std::string_view::npos;
}

[[gnu::always_inline]] inline std::size_t findByte(std::string_view text, char c,
                                                   std::size_t from = 0) {
    return findAnyOf(text, from, c);
}

std::optional<char32_t> hexNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 6) return std::nullopt;
    char32_t n = 0;
    for (const char c : digits) {
        const int d = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
        if (d < 0) return std::nullopt;
        n = n * 16 + static_cast<char32_t>(d);
    }
    return n;
}

// XML text with its entities replaced, appended up to `limit` bytes.
void appendDecoded(std::string& out, std::string_view raw, std::size_t limit) {
    std::size_t i = 0;
    while (i < raw.size() && out.size() < limit) {
        const std::size_t amp = findByte(raw, '&', i);
        const std::size_t plain = std::min(amp, raw.size()) - i;
        out.append(raw.data() + i, std::min(plain, limit - out.size()));
        if (amp == std::string_view::npos) return;
        i = amp;
        const std::size_t semi = raw.find(';', amp);
        if (semi == std::string_view::npos || semi - amp > 10) {
            out += '&';
            ++i;
            continue;
        }
        const std::string_view name = raw.substr(amp + 1, semi - amp - 1);
        std::optional<char32_t> code;
        if (name == "amp") code = '&';
        else if (name == "lt") code = '<';
        else if (name == "gt") code = '>';
        else if (name == "quot") code = '"';
        else if (name == "apos") code = '\'';
        else if (name.starts_with("#x")) code = hexNumber(name.substr(2));
        else if (name.starts_with('#')) {
            char32_t n = 0;
            bool digits = name.size() > 1 && name.size() < 9;
            for (const char c : name.substr(1)) {
                digits = digits && c >= '0' && c <= '9';
                n = n * 10 + static_cast<char32_t>(c - '0');
            }
            if (digits) code = n;
        }
        if (!code) {
            out += '&';
            ++i;
            continue;
        }
        AppendUtf8(out, *code);
        i = semi + 1;
    }
}

// Excel writes a character XML cannot hold as _xHHHH_: a carriage return is _x000D_.
std::string withoutExcelEscapes(std::string text) {
    if (text.find("_x") == std::string::npos) return text;
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, "_x") == 0 && i + 7 <= text.size() && text[i + 6] == '_')
            if (const auto code = hexNumber(std::string_view(text).substr(i + 2, 4))) {
                AppendUtf8(out, *code);
                i += 7;
                continue;
            }
        out += text[i++];
    }
    return out;
}

// An attribute of a tag: its name without a namespace prefix, its value as written.
struct Attribute {
    std::string_view name;
    std::string_view raw;
};
using Attributes = std::span<const Attribute>;

std::optional<std::string_view> attribute(Attributes attrs, std::string_view name) {
    for (const Attribute& a : attrs)
        if (a.name == name) return a.raw;
    return std::nullopt;
}

std::string decodedAttribute(Attributes attrs, std::string_view name) {
    std::string out;
    if (const auto raw = attribute(attrs, name)) appendDecoded(out, *raw, std::string::npos);
    return out;
}

// The bytes from `from` to `to`, which the caller knows to lie within: substr's check of
// them is not inlined, and a sheet cuts millions of texts.
[[gnu::always_inline]] inline std::string_view slice(std::string_view text, std::size_t from,
                                                     std::size_t to) {
    return std::string_view(text.data() + from, to - from);
}

// A name compared with a literal of a known length, which compiles to a few compares
// rather than a call: a sheet asks it of every tag.
template <std::size_t N>
bool named(std::string_view name, const char (&literal)[N]) {
    return name.size() == N - 1 && std::memcmp(name.data(), literal, N - 1) == 0;
}

// Whether `literal` stands in `text` at `at`.
template <std::size_t N>
bool startsAt(std::string_view text, std::size_t at, const char (&literal)[N]) {
    return at <= text.size() && text.size() - at >= N - 1 &&
           std::memcmp(text.data() + at, literal, N - 1) == 0;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The first byte from `from` that ends a name or its prefix: a space (or any control
// byte, none of which a name holds), '>', '/', '=' or ':'.
[[gnu::always_inline]] inline std::size_t findNameEnd(std::string_view text, std::size_t from) {
#if defined(__SSE2__)
    for (; from + 16 <= text.size(); from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + from));
        const __m128i spaces = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(' ')), bytes);
        const __m128i marks = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('>')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('/'))),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('=')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8(':'))));
        const __m128i hits = _mm_or_si128(spaces, marks);
        if (const int mask = _mm_movemask_epi8(hits))
            return from + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)));
    }
#endif
    for (; from < text.size(); ++from) {
        const auto c = static_cast<unsigned char>(text[from]);
        if (c <= ' ' || c == '>' || c == '/' || c == '=' || c == ':') return from;
    }
    return std::string_view::npos;
}

// The name that starts at b[from], without its prefix, and where it ends: b.size() when it
// goes on past it.
[[gnu::always_inline]] inline std::string_view nameAt(std::string_view b, std::size_t from, std::size_t& end) {
    std::size_t start = from;
    std::size_t j = findNameEnd(b, from);
    while (j != std::string_view::npos && b[j] == ':') {
        start = j + 1;
        j = findNameEnd(b, start);
    }
    end = j == std::string_view::npos ? b.size() : j;
    return slice(b, start, end);
}

// Reads XML as it comes in pieces and hands over its tags and texts: start(name, attributes,
// empty) for <name ...> and <name .../>, end(name) for </name> (and after an empty tag's
// start), text(raw) for the text between, possibly in several pieces, entities undecoded
// but never cut. Comments, declarations and processing instructions are skipped. A handler
// may read an element of its own at once: whole(bytes, i), asked at each '<', gives where
// the element at bytes[i] ends, or 0 to have it read tag by tag. Each byte
// is looked at once: a sheet is tens of megabytes of small tags.
template <class Handler>
class XmlScanner {
  public:
    explicit XmlScanner(Handler& handler) : handler_(handler) {}

    void feed(std::string_view bytes) {
        // What the last piece left unfinished is finished from the start of this one, taking
        // as much again each time so that a long tag costs no more than a short one; the
        // rest is read where it lies.
        while (!buffer_.empty() && !bytes.empty()) {
            const std::size_t take = std::min(bytes.size(), std::max<std::size_t>(buffer_.size(), 64));
            buffer_.append(bytes.data(), take);
            bytes.remove_prefix(take);
            buffer_.erase(0, scan(buffer_));
            refuseLongTag();
        }
        if (bytes.empty()) return;
        buffer_.assign(bytes.substr(scan(bytes)));
        refuseLongTag();
    }

    void finish() const {
        if (!buffer_.empty() && buffer_.find('<') != std::string::npos)
            throw WorkbookError(Reason::Damaged, "the workbook's XML ends in the middle of a tag");
    }

  private:
    static constexpr std::size_t kTagLimit = std::size_t{4} << 20;
    static constexpr std::size_t npos = std::string_view::npos;

    void refuseLongTag() const {
        if (buffer_.size() > kTagLimit)
            throw WorkbookError(Reason::Damaged, "the workbook's XML is damaged");
    }

    // Hands over what `b` holds whole, and gives where the rest begins.
    std::size_t scan(std::string_view b) {
        std::size_t i = 0;
        const std::size_t n = b.size();
        while (i < n) {
            if (b[i] != '<') {
                const std::size_t lt = findByte(b, '<', i);
                if (lt == npos) return i + partialText(b.substr(i));
                handler_.text(slice(b, i, lt));
                i = lt;
                continue;
            }
            if (i + 1 >= n) return i;
            if constexpr (requires { handler_.whole(b, i); }) {
                if (const std::size_t past = handler_.whole(b, i)) {
                    i = past;
                    continue;
                }
            }
            const char kind = b[i + 1];
            const std::size_t end = kind == '/'                  ? endTag(b, i)
                                    : kind == '!' || kind == '?' ? markup(b, i)
                                                                 : startTag(b, i);
            if (end == npos) return i;
            i = end;
        }
        return n;
    }

    // Text that goes on in the next piece: hands over what cannot end inside an entity.
    std::size_t partialText(std::string_view text) {
        std::size_t end = text.size();
        const std::size_t amp = text.rfind('&');
        if (amp != npos && text.find(';', amp) == npos) end = amp;
        if (end > 0) handler_.text(text.substr(0, end));
        return end;
    }

    // Each gives the index past the construct at b[i], or npos when it is not whole yet.
    std::size_t endTag(std::string_view b, std::size_t i) {
        std::size_t e = 0;
        const std::string_view name = nameAt(b, i + 2, e);
        const std::size_t gt = e < b.size() && b[e] == '>' ? e : findByte(b, '>', e);
        if (gt == npos) return npos;
        handler_.end(name);
        return gt + 1;
    }

    std::size_t markup(std::string_view b, std::size_t i) {
        const std::string_view rest = b.substr(i);
        if (rest.starts_with("<!--")) {
            const std::size_t end = b.find("-->", i + 4);
            return end == npos ? npos : end + 3;
        }
        if (rest.starts_with("<![CDATA[")) {
            const std::size_t end = b.find("]]>", i + 9);
            if (end == npos) return npos;
            // Its text as is: escaped so that the handler decodes it back.
            std::string escaped;
            for (const char c : b.substr(i + 9, end - i - 9)) {
                if (c == '&') escaped += "&amp;";
                else if (c == '<') escaped += "&lt;";
                else escaped += c;
            }
            handler_.text(escaped);
            return end + 3;
        }
        // A declaration or an instruction: its end is the first '>' outside quotes.
        char quote = 0;
        for (std::size_t j = i + 2; j < b.size(); ++j) {
            const char c = b[j];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                return j + 1;
            }
        }
        return npos;
    }

    std::size_t startTag(std::string_view b, std::size_t i) {
        const std::size_t n = b.size();
        std::size_t j = 0;
        const std::string_view name = nameAt(b, i + 1, j);
        std::size_t count = 0;  // kept out of the vector: the compiler keeps it in a register
        for (;;) {
            while (j < n && isSpace(b[j])) ++j;
            if (j >= n) return npos;
            if (b[j] == '>') break;
            if (b[j] == '/') {
                if (j + 1 >= n) return npos;
                if (b[j + 1] == '>') {
                    handler_.start(name, Attributes(attributes_.data(), count), true);
                    handler_.end(name);
                    return j + 2;
                }
                ++j;  // a stray slash
                continue;
            }
            std::size_t k = 0;
            const std::string_view key = nameAt(b, j, k);
            if (k == j && b[k] != '=') {
                ++j;  // a control byte, as a damaged file has: no name starts with it
                continue;
            }
            while (k < n && isSpace(b[k])) ++k;
            if (k >= n) return npos;
            j = k;
            if (b[k] != '=') continue;  // a name without a value
            ++k;
            while (k < n && isSpace(b[k])) ++k;
            if (k >= n) return npos;
            const char quote = b[k];
            if (quote != '"' && quote != '\'') {
                j = k;  // an unquoted value, as a damaged file has: not taken
                while (j < n && b[j] != '>' && !isSpace(b[j])) ++j;
                continue;
            }
            const std::size_t close = findByte(b, quote, k + 1);
            if (close == npos) return npos;
            if (count == attributes_.size()) attributes_.resize(2 * count);
            attributes_[count++] = {key, slice(b, k + 1, close)};
            j = close + 1;
        }
        handler_.start(name, Attributes(attributes_.data(), count), false);
        return j + 1;
    }

    Handler& handler_;
    std::string buffer_;
    std::vector<Attribute> attributes_ = std::vector<Attribute>(8);  // room for a tag's
};

template <class Handler>
void scanEntry(Zip& zip, const std::string& name, Handler& handler) {
    XmlScanner<Handler> scanner(handler);
    zip.inflate(name, [&](std::string_view piece) { scanner.feed(piece); });
    scanner.finish();
}

template <class Handler>
void scanText(std::string_view xml, Handler& handler) {
    XmlScanner<Handler> scanner(handler);
    scanner.feed(xml);
    scanner.finish();
}

// ---- The workbook's parts ---------------------------------------------------------------

struct SheetEntry {
    std::string name;
    std::string target;  // the part's name in the zip
};

struct WorkbookParts {
    std::vector<SheetEntry> sheets;
    std::string sharedStrings;
    std::string styles;
    bool date1904 = false;
};

// A relationship's target, relative to the folder of the part that names it.
std::string partName(std::string_view folder, std::string target) {
    if (target.starts_with('/')) return target.substr(1);
    std::string path(folder);
    while (target.starts_with("../")) {
        target.erase(0, 3);
        const std::size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
        path = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
    return path + target;
}

WorkbookParts readParts(Zip& zip) {
    // The workbook part: named by the package's relationships, xl/workbook.xml by custom.
    std::string workbook = "xl/workbook.xml";
    struct Relations {
        std::vector<std::array<std::string, 3>> list;  // id, type, target
        void start(std::string_view name, Attributes attrs, bool) {
            if (name == "Relationship")
                list.push_back({decodedAttribute(attrs, "Id"), decodedAttribute(attrs, "Type"),
                                decodedAttribute(attrs, "Target")});
        }
        void end(std::string_view) {}
        void text(std::string_view) {}
    };
    {
        Relations package;
        scanText(zip.whole("_rels/.rels"), package);
        for (const auto& [id, type, target] : package.list)
            if (type.ends_with("/officeDocument")) workbook = partName("", target);
    }
    if (!zip.has(workbook))
        throw WorkbookError(Reason::Damaged, "the zip holds no workbook: it is no XLSX file");
    const std::string folder = workbook.substr(0, workbook.find_last_of('/') + 1);
    const std::string relsName =
        folder + "_rels/" + workbook.substr(folder.size()) + ".rels";
    Relations relations;
    scanText(zip.whole(relsName), relations);

    struct Sheets {
        std::vector<std::pair<std::string, std::string>> list;  // name, relationship id
        bool date1904 = false;
        void start(std::string_view name, Attributes attrs, bool) {
            if (name == "sheet") list.emplace_back(decodedAttribute(attrs, "name"), decodedAttribute(attrs, "id"));
            if (name == "workbookPr") {
                const std::string d = decodedAttribute(attrs, "date1904");
                date1904 = d == "1" || d == "true";
            }
        }
        void end(std::string_view) {}
        void text(std::string_view) {}
    } sheets;
    scanText(zip.whole(workbook), sheets);

    WorkbookParts parts;
    parts.date1904 = sheets.date1904;
    for (const auto& [name, id] : sheets.list)
        for (const auto& [rid, type, target] : relations.list)
            if (rid == id) parts.sheets.push_back({name, partName(folder, target)});
    for (const auto& [rid, type, target] : relations.list) {
        if (type.ends_with("/sharedStrings")) parts.sharedStrings = partName(folder, target);
        if (type.ends_with("/styles")) parts.styles = partName(folder, target);
    }
    return parts;
}

// The shared strings, one after the other in one text.
class SharedStrings {
  public:
    std::string_view at(std::size_t i) const {
        if (i + 1 >= ends_.size()) return {};
        return slice(pool_, ends_[i], ends_[i + 1]);
    }

    // The XML handler that fills them.
    struct Reader {
        SharedStrings& strings;
        std::size_t limit;
        std::string item;
        bool inText = false;
        int phonetic = 0;  // inside <rPh>: a reading aid, not the text
        void start(std::string_view name, Attributes, bool) {
            if (name == "si") item.clear();
            else if (name == "t") inText = phonetic == 0;
            else if (name == "rPh") ++phonetic;
        }
        void end(std::string_view name) {
            if (name == "t") inText = false;
            else if (name == "rPh") --phonetic;
            else if (name == "si") {
                strings.pool_ += withoutExcelEscapes(std::move(item));
                strings.ends_.push_back(strings.pool_.size());
                item.clear();
            }
        }
        void text(std::string_view raw) {
            if (inText) appendDecoded(item, raw, limit);
        }
    };

  private:
    std::string pool_;
    std::vector<std::size_t> ends_{0};
};

// Number formats that show a date or a time: Excel's own, and any custom one with a date's
// letters outside quotes and brackets.
bool isDateFormat(int id, std::string_view code) {
    if ((id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) ||
        (id >= 50 && id <= 58))
        return true;
    if (code.empty()) return false;
    bool quoted = false, bracket = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') quoted = !quoted;
        else if (quoted) continue;
        else if (c == '\\') ++i;
        else if (c == '[') bracket = true;
        else if (c == ']') bracket = false;
        else if (!bracket && std::string_view("dmyhsDMYHS").find(c) != std::string_view::npos)
            return true;
    }
    return false;
}

std::vector<bool> dateStyles(Zip& zip, const std::string& part) {
    struct Styles {
        std::vector<std::pair<int, std::string>> formats;
        std::vector<int> xfs;  // the number format of each cell style
        bool inCellXfs = false;
        void start(std::string_view name, Attributes attrs, bool) {
            if (name == "numFmt")
                formats.emplace_back(std::atoi(decodedAttribute(attrs, "numFmtId").c_str()),
                                     decodedAttribute(attrs, "formatCode"));
            else if (name == "cellXfs") inCellXfs = true;
            else if (name == "xf" && inCellXfs)
                xfs.push_back(std::atoi(decodedAttribute(attrs, "numFmtId").c_str()));
        }
        void end(std::string_view name) {
            if (name == "cellXfs") inCellXfs = false;
        }
        void text(std::string_view) {}
    } styles;
    if (!part.empty()) scanEntry(zip, part, styles);
    std::vector<bool> dates;
    for (const int id : styles.xfs) {
        std::string_view code;
        for (const auto& [fid, fcode] : styles.formats)
            if (fid == id) code = fcode;
        dates.push_back(isDateFormat(id, code));
    }
    return dates;
}

// A date's serial number as text: 2026-11-02, 2026-11-02 09:14:00 or 09:14:00.
std::string dateText(double serial, bool date1904) {
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466) return {};
    auto days = static_cast<std::int64_t>(std::floor(serial));
    auto seconds = static_cast<std::int64_t>(std::llround((serial - static_cast<double>(days)) * 86400.0));
    if (seconds == 86400) {
        ++days;
        seconds = 0;
    }
    char buffer[40];
    int length = 0;
    if (days > 0 || date1904) {
        // Days from 1970-01-01; Excel's 1900 system counts a 29 February 1900 that never was.
        std::int64_t z = date1904 ? days + 24107 - 25569 + 1462 : days - 25569 + (days < 60 ? 1 : 0);
        z += 719468;
        const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
        const auto doe = static_cast<unsigned>(z - era * 146097);
        const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
        const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
        const unsigned mp = (5 * doy + 2) / 153;
        const unsigned d = doy - (153 * mp + 2) / 5 + 1;
        const unsigned m = mp < 10 ? mp + 3 : mp - 9;
        const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
        length = std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u", static_cast<long long>(y), m, d);
        if (seconds == 0) return std::string(buffer, static_cast<std::size_t>(length));
        buffer[length++] = ' ';
    }
    std::snprintf(buffer + length, sizeof buffer - static_cast<std::size_t>(length), "%02lld:%02lld:%02lld",
                  static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                  static_cast<long long>(seconds % 60));
    return buffer;
}

// A cell reference's column, from 1 ("C7" is 3); 0 when it is none.
int columnOf(std::string_view reference) {
    int column = 0;
    std::size_t i = 0;
    for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z'; ++i) {
        column = column * 26 + (reference[i] - 'A' + 1);
        if (column > kSheetColumns) return kSheetColumns + 1;
    }
    return i > 0 ? column : 0;
}

int wholeNumber(std::string_view text) {
    long long n = 0;
    if (text.empty()) return 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
        if (n > 1 << 30) return 1 << 30;
    }
    return static_cast<int>(n);
}

// The handler of a worksheet's XML: cells into rows, rows to the caller in order.
class SheetReader {
  public:
    SheetReader(SheetRows& rows, const SharedStrings& strings, const std::vector<bool>& dates,
                bool date1904, std::size_t limit)
        : rows_(rows), strings_(strings), dates_(dates), date1904_(date1904), limit_(limit) {}

    void start(std::string_view name, Attributes attrs, bool) {
        if (!inData_) {
            inData_ = named(name, "sheetData");
        } else if (named(name, "v")) {
            inValue_ = true;
        } else if (named(name, "row")) {
            const auto r = attribute(attrs, "r");
            int number = r ? wholeNumber(*r) : 0;
            if (number <= rowNumber_) number = rowNumber_ + 1;
            if (number > kSheetRows) tooManyRows();
            while (rowNumber_ + 1 < number) emit(empty_);
            used_ = 0;
            cellColumn_ = 0;
        } else if (named(name, "c")) {
            std::string_view r, t = "n", s;
            for (const auto& [key, value] : attrs) {
                if (named(key, "r")) r = value;
                else if (named(key, "t")) t = value;
                else if (named(key, "s")) s = value;
            }
            beginCell(r, t, s);
        } else if (named(name, "t") && cellColumn_ > 0) {
            inValue_ = phonetic_ == 0;  // an inline string's text
        } else if (named(name, "rPh")) {
            ++phonetic_;
        }
    }

    // A cell as spreadsheet programs write nearly all of theirs, <c r="B2" s="1" t="s"><v>7
    // </v></c> with no space but one before each attribute, or <c r="B2"/>, read at once:
    // tag by tag it costs twice as much, and a sheet holds millions. Any other cell, or one
    // that goes on past `b`, gives 0.
    std::size_t whole(std::string_view b, std::size_t i) {
        if (!inData_ || !startsAt(b, i, "<c ")) return 0;
        std::string_view r, t = "n", s;
        std::size_t j = i + 3;
        while (j < b.size() && b[j] != '>' && b[j] != '/') {
            const std::size_t eq = findAnyOf(b, j, '=', '>', ' ', ':');
            if (eq == std::string_view::npos || !startsAt(b, eq, "=\"")) return 0;
            const std::size_t close = findByte(b, '"', eq + 2);
            if (close == std::string_view::npos) return 0;
            const std::string_view key = slice(b, j, eq), value = slice(b, eq + 2, close);
            if (named(key, "r")) r = value;
            else if (named(key, "t")) t = value;
            else if (named(key, "s")) s = value;
            j = close + 1;
            if (j < b.size() && b[j] == ' ') ++j;
        }
        std::size_t past = 0;
        std::string_view raw;
        if (startsAt(b, j, "/>")) {
            past = j + 2;
        } else if (startsAt(b, j, "></c>")) {
            past = j + 5;
        } else if (startsAt(b, j, "><v>")) {
            const std::size_t lt = findByte(b, '<', j + 4);
            if (lt == std::string_view::npos || !startsAt(b, lt, "</v></c>")) return 0;
            raw = slice(b, j + 4, lt);
            past = lt + 8;
        } else {
            return 0;
        }
        beginCell(r, t, s);
        if (raw.size() > limit_ || findByte(raw, '&') != std::string_view::npos) {
            appendDecoded(value_, raw, limit_);
            raw = value_;
        }
        endCell(raw);
        return past;
    }

    void end(std::string_view name) {
        if (!inData_) return;
        if (named(name, "v") || named(name, "t")) {
            inValue_ = false;
        } else if (named(name, "rPh")) {
            --phonetic_;
        } else if (named(name, "c")) {
            // An end without its start (a damaged sheet) has no cell to end.
            if (cellColumn_ > 0) endCell(value_);
        } else if (named(name, "row")) {
            emit(std::span<const std::string_view>(cells_.data(), used_));
        } else if (named(name, "sheetData")) {
            inData_ = false;
        }
    }

    void text(std::string_view raw) {
        if (inValue_) appendDecoded(value_, raw, limit_);
    }

  private:
    // The cell that starts, from its reference, type and style.
    void beginCell(std::string_view r, std::string_view t, std::string_view s) {
        int column = r.empty() ? 0 : columnOf(r);
        if (column <= cellColumn_) column = cellColumn_ + 1;
        if (column > kSheetColumns)
            throw WorkbookError(Reason::TooManyColumns,
                                "the sheet has more than " + std::to_string(kSheetColumns) +
                                    " columns");
        cellColumn_ = column;
        type_ = named(t, "s")                              ? CellType::Shared
                : named(t, "inlineStr") || named(t, "str") ? CellType::Text
                : named(t, "b")                            ? CellType::Boolean
                                                           : CellType::Number;
        const int style = wholeNumber(s);
        isDate_ = style >= 0 && static_cast<std::size_t>(style) < dates_.size() &&
                  dates_[static_cast<std::size_t>(style)];
        value_.clear();
        inValue_ = false;
    }

    [[noreturn]] static void tooManyRows() {
        throw WorkbookError(Reason::TooManyRows,
                            "the sheet has more than " + std::to_string(kSheetRows) + " rows");
    }

    void emit(std::span<const std::string_view> cells) {
        if (++rowNumber_ > kSheetRows) tooManyRows();
        rows_.row(rowNumber_, cells);
    }

    // The cell that ends, with its value as the sheet holds it.
    void endCell(std::string_view value) {
        const auto at = static_cast<std::size_t>(cellColumn_ - 1);
        if (cells_.size() <= at) {
            // Texts of their own move with their vector: the row's views follow them.
            texts_.resize(at + 1);
            cells_.resize(at + 1);
            for (std::size_t c = 0; c < used_; ++c)
                if (owned_[c]) cells_[c] = texts_[c];
            owned_.resize(at + 1);
        }
        for (std::size_t c = used_; c < at; ++c) {
            cells_[c] = {};
            owned_[c] = false;
        }
        std::string& text = texts_[at];
        owned_[at] = true;
        if (value.empty()) {
            text.clear();
        } else if (type_ == CellType::Shared) {
            cells_[at] = strings_.at(static_cast<std::size_t>(wholeNumber(value)));
            owned_[at] = false;
        } else if (type_ == CellType::Text) {
            text = withoutExcelEscapes(std::string(value));
        } else if (type_ == CellType::Boolean) {
            text = value == "1" ? "TRUE" : "FALSE";
        } else if (isDate_) {
            double serial = 0;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), serial);
            const std::string date = error == std::errc() && end == value.data() + value.size()
                                         ? dateText(serial, date1904_)
                                         : std::string();
            text = date.empty() ? value : date;
        } else {
            text.assign(value);  // a number as stored, an error as #N/A
        }
        if (owned_[at]) cells_[at] = text;
        used_ = at + 1;
        value_.clear();
    }

    SheetRows& rows_;
    const SharedStrings& strings_;
    const std::vector<bool>& dates_;
    const bool date1904_;
    const std::size_t limit_;
    bool inData_ = false;
    int rowNumber_ = 0;
    int cellColumn_ = 0;
    enum class CellType { Number, Shared, Text, Boolean };  // an error reads as a number
    CellType type_ = CellType::Number;
    bool isDate_ = false;
    bool inValue_ = false;
    int phonetic_ = 0;
    std::string value_;
    // The row's cells, only the first used_ its own: a shared string where it is kept, any
    // other text in texts_ (owned_).
    std::vector<std::string_view> cells_;
    std::vector<std::string> texts_;
    std::vector<char> owned_;  // not vector<bool>: a bit costs a shift and a mask per cell
    std::size_t used_ = 0;
    const std::vector<std::string_view> empty_;
};

}  // namespace

FileKind KindOfFile(const std::filesystem::path& file) {
    const std::string head = firstBytes(file, 8);
    if (head.starts_with(kZipMagic)) return FileKind::Workbook;
    if (head == kOleMagic) return FileKind::OleFile;
    return FileKind::Text;
}

namespace {

void refuseOleFile(const std::filesystem::path& file) {
    if (holdsEncryptedPackage(file))
        throw WorkbookError(Reason::Protected,
                            "the workbook is protected by a password; save it without one");
    throw WorkbookError(Reason::OldWorkbook,
                        "the file is an old Excel workbook (.xls); save it as .xlsx or CSV");
}

void requireZip(const std::filesystem::path& file) {
    switch (KindOfFile(file)) {
        case FileKind::Workbook:
            return;
        case FileKind::OleFile:
            refuseOleFile(file);
        case FileKind::Text:
            break;
    }
    throw WorkbookError(Reason::NotAZip, "the file is no XLSX workbook: it is not a zip");
}

}  // namespace

std::vector<std::string> WorkbookSheets(const std::filesystem::path& file) {
    requireZip(file);
    Zip zip(file);
    std::vector<std::string> names;
    for (const SheetEntry& s : readParts(zip).sheets) names.push_back(s.name);
    return names;
}

std::string ReadSheet(const std::filesystem::path& file, const std::string& sheet, SheetRows& rows,
               std::size_t cellLimit) {
    requireZip(file);
    Zip zip(file);
    const WorkbookParts parts = readParts(zip);
    const SheetEntry* chosen = nullptr;
    for (const SheetEntry& s : parts.sheets)
        if (sheet.empty() ? !chosen : s.name == sheet) chosen = chosen ? chosen : &s;
    if (!chosen)
        throw WorkbookError(Reason::NoSheet, sheet.empty()
                                                 ? "the workbook has no sheet"
                                                 : "the workbook has no sheet \"" + sheet + "\"");
    SharedStrings strings;
    if (!parts.sharedStrings.empty()) {
        SharedStrings::Reader reader{strings, cellLimit, {}, false, 0};
        scanEntry(zip, parts.sharedStrings, reader);
    }
    const std::vector<bool> dates = dateStyles(zip, parts.styles);
    SheetReader reader(rows, strings, dates, parts.date1904, cellLimit);
    XmlScanner<SheetReader> scanner(reader);
    if (!zip.inflate(chosen->target, [&](std::string_view piece) { scanner.feed(piece); }))
        throw WorkbookError(Reason::Damaged, "the workbook's sheet \"" + chosen->name + "\" is missing");
    scanner.finish();
    return chosen->name;
}

}  // namespace vpl::core
