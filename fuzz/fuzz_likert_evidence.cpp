// The evidence of a factor from arbitrary typed rows: lines are propositions, tabs part
// their five cells.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/likert_evidence.h"

using namespace vpl::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<LikertTextRow> rows(1);
    std::size_t cell = 0;
    for (const char c : text) {
        if (c == '\n') {
            rows.emplace_back();
            cell = 0;
        } else if (c == '\t') {
            cell = (cell + 1) % 5;
        } else {
            rows.back()[cell] += c;
        }
    }
    for (const NumberLocale locale : {NumberLocale{'.'}, NumberLocale{','}}) {
        const LikertEvidence evidence = ComputeLikertEvidence(rows);
        (void)FormatLikertEvidence(evidence, locale);
    }
    return 0;
}
