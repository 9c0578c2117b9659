#include "survey/csv_split.h"

#include <csv.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vpl::core {
namespace {

// A record end is written as "\n" after its fields, each field between brackets.
struct Splits {
    std::string written;
    void field(std::string_view text) { written += "[" + std::string(text) + "]"; }
    void endRecord() { written += "\n"; }
};

int blankIsSpace(unsigned char c) {
    return c == ' ';
}

// What libcsv makes of the bytes, as survey exports were always split, each field cut at
// `limit`.
std::string byLibcsv(std::string_view bytes, char delimiter, std::size_t limit) {
    struct Sink {
        Splits splits;
        std::size_t limit;
    } sink{{}, limit};
    csv_parser parser;
    EXPECT_EQ(csv_init(&parser, 0), 0);
    csv_set_delim(&parser, static_cast<unsigned char>(delimiter));
    if (delimiter == '\t') csv_set_space_func(&parser, blankIsSpace);
    const auto onField = [](void* text, std::size_t length, void* data) {
        auto* s = static_cast<Sink*>(data);
        s->splits.field(std::string_view(static_cast<const char*>(text), text ? length : 0)
                            .substr(0, s->limit));
    };
    const auto onRecord = [](int, void* data) { static_cast<Sink*>(data)->splits.endRecord(); };
    EXPECT_EQ(csv_parse(&parser, bytes.data(), bytes.size(), onField, onRecord, &sink),
              bytes.size());
    csv_fini(&parser, onField, onRecord, &sink);
    csv_free(&parser);
    return sink.splits.written;
}

std::string bySplitter(std::string_view bytes, char delimiter, std::size_t limit,
                       const std::vector<std::size_t>& pieces) {
    Splits splits;
    CsvSplitter<Splits> splitter(delimiter, splits, limit);
    std::size_t at = 0;
    for (std::size_t i = 0; at < bytes.size(); ++i) {
        const std::size_t size = pieces.empty() ? bytes.size() : pieces[i % pieces.size()];
        splitter.feed(bytes.substr(at, size));
        at += size;
    }
    splitter.finish();
    return splits.written;
}

// Every quirk of quoting, blanks and line ends, in pieces cut anywhere and fields cut short,
// splits as libcsv splits it.
TEST(CsvSplitter, SplitsAsLibcsvInAnyPieces) {
    std::mt19937 random(20261102);
    const std::string alphabet = "ab\xC3 \t,;\"\r\n";
    for (const char delimiter : {',', ';', '\t'}) {
        for (int n = 0; n < 20000; ++n) {
            // Every other one mostly letters, for fields longer than the splitter's steps.
            std::string bytes(random() % 200, ' ');
            for (char& c : bytes)
                c = n % 2 && random() % 8 ? 'a' : alphabet[random() % alphabet.size()];
            const std::size_t limit = n % 3 == 0 ? 1 + random() % 6 : bytes.size() + 1;
            std::vector<std::size_t> pieces;
            for (std::size_t k = random() % 4; k > 0; --k) pieces.push_back(1 + random() % 5);
            ASSERT_EQ(bySplitter(bytes, delimiter, limit, pieces),
                      byLibcsv(bytes, delimiter, limit))
                << "bytes \"" << bytes << "\", delimiter '" << delimiter << "', limit " << limit
                << ", " << pieces.size() << " piece sizes";
        }
    }
}

TEST(CsvSplitter, ALongFieldIsCutWhereverThePiecesEnd) {
    const std::string cell(100000, 'x');
    const std::string bytes = "a,\"" + cell + "\"\"" + cell + "\"  ,b\n";
    const std::string expected = "[a][" + std::string(65536, 'x') + "][b]\n";
    for (const std::vector<std::size_t>& pieces :
         {std::vector<std::size_t>{}, {1}, {4096}, {65535, 3}}) {
        SCOPED_TRACE(pieces.empty() ? 0 : pieces.front());
        EXPECT_EQ(bySplitter(bytes, ',', 65536, pieces), expected);
    }
}

}  // namespace
}  // namespace vpl::core
