// Arbitrary bytes as a survey export: the reader either refuses the file or returns
// counts a factor can hold, never more answers than respondents; and fed in pieces, of a
// size the first byte tells, it reads them as it reads them whole.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "survey/survey_file.h"

namespace {

using namespace vpl::core;

struct Outcome {
    int refused = -1;  // the reason, or -1
    int propositions = 0;
    SurveyFile file;
    bool operator==(const Outcome&) const = default;
};

Outcome read(std::string_view bytes, std::size_t piece) {
    SurveyStream stream;
    for (std::size_t at = 0; at < bytes.size(); at += piece) stream.feed(bytes.substr(at, piece));
    try {
        return {-1, 0, stream.finish()};
    } catch (const SurveyError& e) {
        return {static_cast<int>(e.reason), e.propositions, e.read};
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Outcome whole = read(bytes, bytes.size() + 1);
    if (size > 0 && !(read(bytes, 1 + data[0] % 16) == whole)) std::abort();
    if (whole.refused >= 0) return 0;
    const SurveyFile& file = whole.file;
    if (file.propositions.empty() || file.propositions.size() > vpl::store::kPropositionRows)
        std::abort();
    for (const SurveyProposition& p : file.propositions) {
        std::int64_t answers = 0;
        for (const std::int32_t count : p.counts) {
            if (count < 0) std::abort();
            answers += count;
        }
        if (file.layout == SurveyLayout::Responses && answers > file.rowsRead) std::abort();
    }
    for (const UnreadCell& cell : file.unread)
        if (cell.row < 1 || cell.column < 1) std::abort();
    if (file.unread.size() > kUnreadListed || file.unreadNotListed < 0) std::abort();
    return 0;
}
