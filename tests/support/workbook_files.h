#pragma once

// Workbooks written by the tests themselves: a zip of the XML parts a test gives (for cells
// of every kind, and for broken workbooks), or a sheet of texts and numbers written by
// libxlsxwriter, as a spreadsheet program would. Header-only; the test links libzip and
// libxlsxwriter.

#include <xlsxwriter.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace vpl::test {

// A zip of the given entries, each deflated.
inline void WriteZip(const std::filesystem::path& file,
                     const std::vector<std::pair<std::string, std::string>>& entries) {
    int error = 0;
    zip_t* zip = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) throw std::runtime_error("cannot create the zip");
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
        if (!source || zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE) < 0)
            throw std::runtime_error("cannot add " + name);
    }
    if (zip_close(zip) != 0) throw std::runtime_error("cannot write the zip");
}

// The parts of a workbook of one sheet named `sheet` around the sheet's XML (its
// <sheetData> and all), with shared strings when some are given.
inline std::vector<std::pair<std::string, std::string>> WorkbookParts(
    const std::string& sheetXml, const std::vector<std::string>& sharedStrings = {},
    const std::string& styles = {}, const std::string& sheet = "Respostas") {
    const std::string ns = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::vector<std::pair<std::string, std::string>> parts{
        {"_rels/.rels",
         "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/"
         "package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" +
             ns + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml",
         "<?xml version=\"1.0\"?><workbook xmlns:r=\"" + ns + "\"><sheets><sheet name=\"" +
             sheet + "\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\"?><Relationships><Relationship Id=\"rId1\" Type=\"" + ns +
             "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
             ns + "/sharedStrings\" Target=\"sharedStrings.xml\"/><Relationship Id=\"rId3\" "
             "Type=\"" + ns + "/styles\" Target=\"styles.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", "<?xml version=\"1.0\"?><worksheet>" + sheetXml + "</worksheet>"},
    };
    if (!sharedStrings.empty()) {
        std::string sst = "<?xml version=\"1.0\"?><sst>";
        for (const std::string& s : sharedStrings) sst += "<si><t>" + s + "</t></si>";
        parts.emplace_back("xl/sharedStrings.xml", sst + "</sst>");
    }
    if (!styles.empty()) parts.emplace_back("xl/styles.xml", styles);
    return parts;
}

// A sheet of texts and whole numbers, written by libxlsxwriter: a number is a cell that
// holds an int, an empty text no cell at all.
using SheetCell = std::variant<std::string, int>;
inline void WriteXlsx(const std::filesystem::path& file,
                      const std::vector<std::vector<SheetCell>>& rows,
                      const std::string& sheet = "Respostas") {
    lxw_workbook* workbook = workbook_new(file.c_str());
    if (!workbook) throw std::runtime_error("cannot create the workbook");
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, sheet.c_str());
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const auto row = static_cast<lxw_row_t>(r);
            const auto col = static_cast<lxw_col_t>(c);
            if (const int* n = std::get_if<int>(&rows[r][c]))
                worksheet_write_number(worksheet, row, col, *n, nullptr);
            else if (const std::string& s = std::get<std::string>(rows[r][c]); !s.empty())
                worksheet_write_string(worksheet, row, col, s.c_str(), nullptr);
        }
    if (workbook_close(workbook) != LXW_NO_ERROR)
        throw std::runtime_error("cannot write the workbook");
}

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace vpl::test
