#pragma once

// A sheet of an XLSX workbook read as a table of texts, row by row, without Qt: the zip
// opened with libzip and the sheet's XML read as it inflates, never whole. Shared and inline
// strings give their text, numbers their digits as stored, dates (a number under a date
// style) a text such as 2026-11-02 09:14:00, a formula its cached value (it is never
// evaluated), a boolean TRUE or FALSE.

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vpl::core {

// What the first bytes of a file say it is.
enum class FileKind {
    Text,      // anything else: read as CSV
    Workbook,  // a zip: an XLSX workbook
    OleFile,   // an OLE compound file: an old .xls, or a workbook under a password
};
FileKind KindOfFile(const std::filesystem::path& file);

// Why a workbook was not read; nothing of it was counted. what() says it in English.
class WorkbookError : public std::runtime_error {
  public:
    enum class Reason {
        NotAZip,         // named .xlsx but no zip
        Protected,       // encrypted: it opens only with its password
        OldWorkbook,     // an OLE file that is no encrypted workbook: an .xls of Excel 97-2003
        Damaged,         // the zip or its XML cannot be read
        NoSheet,         // no sheet, or none of the name asked for
        TooLarge,        // it unpacks past kWorkbookUnpackedBytes or kWorkbookPackingRatio
        TooManyRows,     // a row past kSheetRows
        TooManyColumns,  // a column past kSheetColumns
    };
    WorkbookError(Reason reason, const std::string& what);
    Reason reason;
};

// A workbook may unpack to this much at most, and to this many times its own size.
inline constexpr std::uint64_t kWorkbookUnpackedBytes = std::uint64_t{200} << 20;
inline constexpr std::uint64_t kWorkbookPackingRatio = 100;
inline constexpr int kSheetRows = 1000000;
inline constexpr int kSheetColumns = 16384;

// Gets the rows of a sheet in order, each once; a row missing from the sheet comes empty,
// so that `number` is always the previous one plus 1. The cells are valid during the call.
class SheetRows {
  public:
    virtual ~SheetRows() = default;
    virtual void row(int number, std::span<const std::string_view> cells) = 0;
};

// The names of the workbook's sheets, in the workbook's order.
std::vector<std::string> WorkbookSheets(const std::filesystem::path& file);

// Reads the sheet named `sheet`, or the first one when it is empty, and gives its name. A
// cell's text is cut after `cellLimit` bytes. Throws WorkbookError.
std::string ReadSheet(const std::filesystem::path& file, const std::string& sheet, SheetRows& rows,
               std::size_t cellLimit = std::size_t{64} << 10);

}  // namespace vpl::core
