// Arbitrary bytes as an XLSX workbook: the reader either refuses the file with a reason or
// returns counts a factor can hold, never more answers than respondents, within the
// limits of a sheet.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "survey/survey_import.h"
#include "survey/workbook.h"

using namespace vpl::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A file in memory, named as a workbook so that anything else is refused as no zip.
    const int fd = ::memfd_create("workbook.xlsx", 0);
    if (fd < 0) std::abort();
    if (size > 0 && ::write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    try {
        std::string sheet;
        const SurveyFile file = ReadSurveyExport(path, sheet);
        if (file.propositions.size() > vpl::store::kPropositionRows || file.rowsRead > kSheetRows)
            std::abort();
        for (const SurveyProposition& p : file.propositions) {
            std::int64_t answers = 0;
            for (const std::int32_t count : p.counts) {
                if (count < 0) std::abort();
                answers += count;
            }
            if (file.layout == SurveyLayout::Responses && answers > file.rowsRead) std::abort();
        }
        for (const ImportItem& item : ImportItems(file, DefaultChoices(file, 1).codes))
            for (const std::int32_t count : item.counts)
                if (count < 0) std::abort();
    } catch (const WorkbookError&) {
    } catch (const SurveyError&) {
    } catch (const SurveyFileError&) {
    }
    ::close(fd);
    return 0;
}
