// Arbitrary bytes as a survey export: the reader either refuses the file or returns
// counts a factor can hold, never more answers than respondents.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "survey/survey_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vpl::core;
    SurveyFile file;
    try {
        file = ReadSurvey(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const SurveyError&) {
        return 0;
    }
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
    return 0;
}
