#include "survey/survey_import.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "survey/workbook.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/workbook_files.h"

namespace vpl::core {

void PrintTo(const SurveyProposition& p, std::ostream* out) {
    *out << '"' << p.text << "\" " << ::testing::PrintToString(p.counts);
}

namespace {

using test::ScratchFolder;

struct Expected {
    std::string text;
    LikertCounts counts;
    std::string group;
};

// What the import would store of every item, codes as the file proposes them.
void expectItems(const SurveyFile& file, const std::vector<Expected>& expected) {
    const std::vector<ImportItem> items = ImportItems(file, DefaultChoices(file, 1).codes);
    ASSERT_EQ(items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(items[i].text, expected[i].text) << i;
        EXPECT_EQ(items[i].counts, expected[i].counts) << i;
        EXPECT_EQ(items[i].group, expected[i].group) << i;
    }
}

// The bytes as a file of their own, read as the import reads it.
SurveyFile readCsv(const std::string& bytes) {
    ScratchFolder dir("vpl-export");
    test::WriteBytes(dir.path() / "export.csv", bytes);
    return ReadSurveyExport(dir.path() / "export.csv");
}

class KnownExport : public ::testing::Test {
  protected:
    SurveyFile read(const std::string& name, const std::string& bytes) {
        test::WriteBytes(dir.path() / name, bytes);
        return ReadSurveyExport(dir.path() / name);
    }
    ScratchFolder dir{"vpl-export"};
};

TEST_F(KnownExport, QualtricsTakesItsStatementsFromTheSecondRowAndSkipsTheImportIds) {
    const SurveyFile file = read(
        "qualtrics.csv",
        "StartDate,EndDate,Status,IPAddress,Progress,Duration (in seconds),Finished,"
        "RecordedDate,ResponseId,LocationLatitude,DistributionChannel,UserLanguage,Q1_1,Q1_2\r\n"
        "Start Date,End Date,Response Type,IP Address,Progress,Duration (in seconds),Finished,"
        "Recorded Date,Response ID,Location Latitude,Distribution Channel,User Language,"
        "Avalie a loja - O preço é justo,Avalie a loja - A entrega é rápida\r\n"
        "\"{\"\"ImportId\"\":\"\"startDate\"\",\"\"timeZone\"\":\"\"America/Sao_Paulo\"\"}\","
        "\"{\"\"ImportId\"\":\"\"endDate\"\"}\",\"{\"\"ImportId\"\":\"\"status\"\"}\","
        "\"{\"\"ImportId\"\":\"\"ipAddress\"\"}\",\"{\"\"ImportId\"\":\"\"progress\"\"}\","
        "\"{\"\"ImportId\"\":\"\"duration\"\"}\",\"{\"\"ImportId\"\":\"\"finished\"\"}\","
        "\"{\"\"ImportId\"\":\"\"recordedDate\"\"}\",\"{\"\"ImportId\"\":\"\"_recordId\"\"}\","
        "\"{\"\"ImportId\"\":\"\"locationLatitude\"\"}\","
        "\"{\"\"ImportId\"\":\"\"distributionChannel\"\"}\","
        "\"{\"\"ImportId\"\":\"\"userLanguage\"\"}\",\"{\"\"ImportId\"\":\"\"QID1_1\"\"}\","
        "\"{\"\"ImportId\"\":\"\"QID1_2\"\"}\"\r\n"
        // Finished and Duration hold 1 to 5, which would pass for answers.
        "2026-11-02 09:14:00,2026-11-02 09:19:12,0,10.0.0.1,100,3,1,2026-11-02 09:19:13,"
        "R_1a,-23.5,anonymous,PT-BR,Strongly agree,Disagree\r\n"
        "2026-11-02 10:00:00,2026-11-02 10:04:00,0,10.0.0.2,100,4,1,2026-11-02 10:04:01,"
        "R_2b,-23.5,anonymous,PT-BR,Agree,talvez\r\n"
        "2026-11-03 08:00:00,2026-11-03 08:01:00,0,10.0.0.3,100,5,1,2026-11-03 08:01:01,"
        "R_3c,-23.5,anonymous,PT-BR,Agree,\r\n"
        "2026-11-03 09:00:00,2026-11-03 09:02:00,0,10.0.0.4,100,2,1,2026-11-03 09:02:01,"
        "R_4d,-23.5,anonymous,PT-BR,Neither agree nor disagree,Disagree\r\n");
    EXPECT_EQ(file.tool, SurveyTool::Qualtrics);
    EXPECT_EQ(file.rowsRead, 4);
    expectItems(file, {{"O preço é justo", {0, 0, 1, 2, 1}, "Avalie a loja"},
                       {"A entrega é rápida", {0, 2, 0, 0, 0}, "Avalie a loja"}});
    // Rows keep the file's numbers: the first respondent is row 4.
    ASSERT_EQ(file.unread.size(), 1u);
    EXPECT_EQ(file.unread[0], (UnreadCell{5, 14, "talvez"}));
}

TEST_F(KnownExport, GoogleFormsGridLosesItsTitleAndTheTimestampAndEmail) {
    const SurveyFile file = read(
        "google.csv",
        "Carimbo de data/hora,Endereço de e-mail,Satisfação [O atendimento é rápido],"
        "Satisfação [O preço é justo]\r\n"
        "2026/11/02 9:14:03 AM GMT-3,ana@example.org,Concordo totalmente,Discordo\r\n"
        "2026/11/02 9:20:00 AM GMT-3,bia@example.org,Concordo,Discordo totalmente\r\n"
        "2026/11/02 9:31:41 AM GMT-3,caio@example.org,Concordo totalmente,Indiferente\r\n");
    EXPECT_EQ(file.tool, SurveyTool::GoogleForms);
    expectItems(file, {{"O atendimento é rápido", {0, 0, 0, 1, 2}, "Satisfação"},
                       {"O preço é justo", {1, 1, 1, 0, 0}, "Satisfação"}});
    ASSERT_EQ(file.skippedColumns.size(), 2u);
}

TEST_F(KnownExport, MicrosoftFormsWorkbookWithItsIdsAndNames) {
    using C = test::SheetCell;
    test::WriteXlsx(dir.path() / "forms.xlsx",
                    {{C("ID"), C("Start time"), C("Completion time"), C("Email"), C("Name"),
                      C("Clima [A equipe coopera]"), C("Clima [As metas são claras]")},
                     {1, C("11/2/26 9:14:03"), C("11/2/26 9:16:40"), C("anonymous"), C(""),
                      C("Strongly agree"), C("Disagree")},
                     {2, C("11/2/26 9:20:11"), C("11/2/26 9:22:00"), C("anonymous"), C(""),
                      C("Agree"), 1},
                     {3, C("11/2/26 9:31:41"), C("11/2/26 9:35:02"), C("anonymous"), C(""),
                      C("Strongly agree"), C("Neutral")}});
    const SurveyFile file = ReadSurveyExport(dir.path() / "forms.xlsx");
    EXPECT_EQ(file.tool, SurveyTool::MicrosoftForms);
    EXPECT_EQ(file.rowsRead, 3);
    expectItems(file, {{"A equipe coopera", {0, 0, 0, 1, 2}, "Clima"},
                       {"As metas são claras", {1, 1, 1, 0, 0}, "Clima"}});
}

TEST_F(KnownExport, LimeSurveyCodesMappedByTheirOrder) {
    const SurveyFile file = read(
        "lime.csv",
        "\xEF\xBB\xBF\"id\";\"submitdate\";\"lastpage\";\"startlanguage\";\"seed\";"
        "\"Q1[SQ001]\";\"Q1[SQ002]\"\r\n"
        "\"1\";\"2026-11-02 09:14:00\";\"2\";\"pt-BR\";\"1839400381\";\"A1\";\"A5\"\r\n"
        "\"2\";\"2026-11-02 09:20:00\";\"2\";\"pt-BR\";\"99\";\"A2\";\"A4\"\r\n"
        "\"3\";\"2026-11-02 10:00:00\";\"2\";\"pt-BR\";\"5\";\"A5\";\"A3\"\r\n"
        "\"4\";\"\";\"1\";\"pt-BR\";\"7\";\"A5\";\"\"\r\n");
    EXPECT_EQ(file.tool, SurveyTool::LimeSurvey);
    EXPECT_EQ(file.delimiter, ';');
    EXPECT_EQ(AnswerCodes(file), (std::vector<std::string>{"A1", "A2", "A5", "A4", "A3"}));
    expectItems(file, {{"Q1[SQ001]", {1, 1, 0, 0, 2}, "Q1"}, {"Q1[SQ002]", {0, 0, 1, 1, 1}, "Q1"}});
}

TEST(AnswerCodes, ProposedOnlyWhenTheirOrderIsPlain) {
    using Codes = std::vector<std::string>;
    const std::vector<std::pair<Codes, std::optional<CodeMap>>> cases = {
        {{"A3", "A1", "A5", "A2", "A4"},
         CodeMap{{"A1", 1}, {"A2", 2}, {"A3", 3}, {"A4", 4}, {"A5", 5}}},
        {{"AO01", "AO02", "AO03", "AO04", "AO05"},
         CodeMap{{"AO01", 1}, {"AO02", 2}, {"AO03", 3}, {"AO04", 4}, {"AO05", 5}}},
        {{"4", "0", "1", "2", "3"}, CodeMap{{"0", 1}, {"1", 2}, {"2", 3}, {"3", 4}, {"4", 5}}},
        {{"A1", "A2", "A3", "A4"}, std::nullopt},              // four: which point is missing?
        {{"A1", "A2", "A3", "A4", "A6"}, std::nullopt},        // a gap
        {{"A1", "A2", "B3", "A4", "A5"}, std::nullopt},        // two prefixes
        {{"A1", "A2", "A3", "A4", "A5", "-99"}, std::nullopt}, // a code for no answer
        {{"Sim", "Não", "Talvez", "Nunca", "Sempre"}, std::nullopt},
    };
    for (const auto& [codes, expected] : cases)
        EXPECT_EQ(ProposedCodes(codes), expected) << codes.front() << " .. " << codes.back();
}

TEST(AnswerCodes, ZeroToFourCountsByTheCodesNotByTheScalesNumbers) {
    const SurveyFile file = readCsv("Nome,Pressuposto\r\nAna,0\r\nBia,4\r\nCaio,1\r\nDani,2\r\nEva,3\r\nFil,4\r\n");
    const ImportChoices choices = DefaultChoices(file, 1);
    EXPECT_TRUE(UnassignedCodes(file, choices).empty());
    const std::vector<ImportItem> items = ImportItems(file, choices.codes);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].counts, (LikertCounts{1, 1, 1, 1, 2}));
}

TEST(AnswerCodes, AnAmbiguousSetAsksAndCountsOnceAnswered) {
    SurveyFile file = readCsv("P1,P2\r\nA1,A2\r\nA2,A4\r\nA4,A4\r\nA1,\r\n");
    ImportChoices choices = DefaultChoices(file, 1);
    EXPECT_TRUE(choices.codes.empty());
    EXPECT_EQ(UnassignedCodes(file, choices), (std::vector<std::string>{"A1", "A2", "A4"}));
    choices.codes = {{"A1", 1}, {"A2", 3}, {"A4", kNoAnswer}};
    EXPECT_TRUE(UnassignedCodes(file, choices).empty());
    const std::vector<ImportItem> items = ImportItems(file, choices.codes);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].counts, (LikertCounts{2, 0, 1, 0, 0}));
    EXPECT_EQ(items[1].counts, (LikertCounts{0, 0, 1, 0, 0}));
}

TEST(ImportChoicesTest, ReversedPropositionsMirrorTheirCountsAndAreMarkedOnlyWhenAsked) {
    const SurveyFile file =
        readCsv("Proposição,DT,D,I,C,CT\r\nO preço é justo,1,2,3,4,5\r\nÉ caro,7,0,0,1,0\r\n");
    ImportChoices choices = DefaultChoices(file, 2);
    choices.items[1].reversed = true;
    std::vector<FactorImport> factors = FactorsToImport(file, choices, Language::English);
    ASSERT_EQ(factors.size(), 1u);
    EXPECT_EQ(factors[0].factor, 2);
    EXPECT_EQ(factors[0].propositions[0], (SurveyProposition{"O preço é justo", {1, 2, 3, 4, 5}}));
    EXPECT_EQ(factors[0].propositions[1], (SurveyProposition{"É caro", {0, 1, 0, 0, 7}}));
    choices.markReversed = true;
    factors = FactorsToImport(file, choices, Language::English);
    EXPECT_EQ(factors[0].propositions[1].text, std::string("É caro") + ReversedMark(Language::English));
    EXPECT_EQ(factors[0].propositions[0].text, "O preço é justo");
}

TEST(ImportChoicesTest, ColumnsGoToTheirFactorsAndNoneGoesNowhere) {
    const SurveyFile file = readCsv("A,B,C,D,E\r\n1,2,3,4,5\r\n5,4,3,2,1\r\n");
    ImportChoices choices = DefaultChoices(file, 1);
    const int factorOf[] = {3, 1, 0, 3, 2};
    for (std::size_t i = 0; i < choices.items.size(); ++i) choices.items[i].factor = factorOf[i];
    choices.titles[2] = "Custos";
    const std::vector<FactorImport> factors = FactorsToImport(file, choices, Language::Portuguese);
    ASSERT_EQ(factors.size(), 3u);
    EXPECT_EQ(factors[0].factor, 1);
    EXPECT_EQ(factors[0].propositions, (std::vector<SurveyProposition>{{"B", {0, 1, 0, 1, 0}}}));
    EXPECT_EQ(factors[1].propositions, (std::vector<SurveyProposition>{{"E", {1, 0, 0, 0, 1}}}));
    EXPECT_EQ(factors[2].factor, 3);
    EXPECT_EQ(factors[2].title, "Custos");
    EXPECT_EQ(factors[2].propositions,
              (std::vector<SurveyProposition>{{"A", {1, 0, 0, 0, 1}}, {"D", {0, 1, 0, 1, 0}}}));
}

// ---- Workbooks ----------------------------------------------------------------------

TEST(Workbook, EveryKindOfCellReadAsTheSheetShowsIt) {
    ScratchFolder dir("vpl-workbook");
    const std::string styles =
        "<styleSheet><cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"22\"/></cellXfs>"
        "</styleSheet>";
    // Counts: a shared and an inline string, numbers, an empty and a missing cell, a formula
    // whose cached value is not what it would compute, an error, and a missing row.
    test::WriteZip(dir.path() / "counts.xlsx",
                   test::WorkbookParts(
                       "<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
                       "<c r=\"B1\" t=\"inlineStr\"><is><t>DT</t></is></c><c r=\"C1\" t=\"s\"><v>1</v></c>"
                       "<c r=\"D1\" t=\"inlineStr\"><is><r><t>I</t></r></is></c>"
                       "<c r=\"E1\" t=\"inlineStr\"><is><t>C</t></is></c>"
                       "<c r=\"F1\" t=\"inlineStr\"><is><t>CT</t></is></c></row>"
                       "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>Pre&#231;o &amp; prazo</t></is></c>"
                       "<c r=\"B2\"><v>1</v></c><c r=\"C2\"/><c r=\"D2\"><f>1+1</f><v>3</v></c>"
                       "<c r=\"F2\"><v>5</v></c></row>"
                       "<row r=\"4\"><c r=\"A4\" t=\"s\"><v>2</v></c><c r=\"B4\"><v>2</v></c>"
                       "<c r=\"C4\" t=\"e\"><v>#DIV/0!</v></c><c r=\"D4\" t=\"str\"><f>A1</f><v>2</v></c>"
                       "<c r=\"E4\"><v>2</v></c><c r=\"F4\"><v>2</v></c></row></sheetData>",
                       {"Proposição", "D", "Qualidade"}, styles));
    const SurveyFile counts = ReadSurveyExport(dir.path() / "counts.xlsx");
    EXPECT_EQ(counts.layout, SurveyLayout::Counts);
    ASSERT_EQ(counts.propositions.size(), 2u);
    EXPECT_EQ(counts.propositions[0], (SurveyProposition{"Preço & prazo", {1, 0, 3, 0, 5}}));
    EXPECT_EQ(counts.propositions[1], (SurveyProposition{"Qualidade", {2, 0, 2, 2, 2}}));
    ASSERT_EQ(counts.unread.size(), 1u);
    EXPECT_EQ(counts.unread[0], (UnreadCell{4, 3, "#DIV/0!"}));

    // Responses: a date under a date style is a date, and its column no statement.
    test::WriteZip(dir.path() / "responses.xlsx",
                   test::WorkbookParts(
                       "<sheetData><row><c t=\"inlineStr\"><is><t>Quando</t></is></c>"
                       "<c t=\"inlineStr\"><is><t>É útil</t></is></c></row>"
                       "<row><c s=\"1\"><v>46328.4</v></c><c><v>4</v></c></row>"
                       "<row><c s=\"1\"><v>46329</v></c><c t=\"b\"><v>1</v></c></row>"
                       "<row><c s=\"1\"><v>46330.5</v></c><c t=\"inlineStr\"><is><t>Concordo</t></is></c></row>"
                       "</sheetData>",
                       {}, styles));
    const SurveyFile responses = ReadSurveyExport(dir.path() / "responses.xlsx");
    EXPECT_EQ(responses.layout, SurveyLayout::Responses);
    ASSERT_EQ(responses.propositions.size(), 1u);
    EXPECT_EQ(responses.propositions[0], (SurveyProposition{"É útil", {0, 0, 0, 2, 0}}));
    ASSERT_EQ(responses.skippedColumns.size(), 1u);
    EXPECT_EQ(responses.skippedColumns[0].reason, SkipReason::Dates);
    ASSERT_FALSE(responses.columns.empty());
    EXPECT_EQ(responses.columns[0].values[0].text, "2026-11-02 09:36:00");
    EXPECT_EQ(responses.columns[0].values[1].text, "2026-11-03");
    EXPECT_EQ(responses.unread, (std::vector<UnreadCell>{{3, 2, "TRUE"}}));
}

TEST(Workbook, AChosenSheetAndTheirNames) {
    ScratchFolder dir("vpl-workbook");
    test::WriteXlsx(dir.path() / "two.xlsx", {{test::SheetCell("P")}}, "Primeira");
    EXPECT_EQ(WorkbookSheets(dir.path() / "two.xlsx"), (std::vector<std::string>{"Primeira"}));
    EXPECT_THROW(ReadSurveyExport(dir.path() / "two.xlsx", "Outra"), WorkbookError);
}

TEST(Workbook, BadFilesAreRefusedWithTheirReason) {
    ScratchFolder dir("vpl-workbook");
    using Reason = WorkbookError::Reason;
    const auto sheet = [](const std::string& data) { return test::WorkbookParts(data); };
    std::string ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    ole.resize(1024, '\0');
    std::string encrypted = ole;
    for (const char c : std::string("EncryptedPackage")) (encrypted += c) += '\0';
    encrypted.resize(2048, '\0');
    const std::string spaces(std::size_t{3} << 20, ' ');

    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path&)> write;
        Reason reason;
    };
    const std::vector<Case> cases = {
        {"text.xlsx", [](auto& f) { test::WriteBytes(f, "Proposição,DT\r\nA,1\r\n"); },
         Reason::NotAZip},
        {"protected.xlsx", [&](auto& f) { test::WriteBytes(f, encrypted); }, Reason::Protected},
        {"old.xls", [&](auto& f) { test::WriteBytes(f, ole); }, Reason::OldWorkbook},
        {"bomb.xlsx",
         [&](auto& f) { test::WriteZip(f, sheet("<sheetData>" + spaces + "</sheetData>")); },
         Reason::TooLarge},
        {"rows.xlsx",
         [&](auto& f) {
             test::WriteZip(f, sheet("<sheetData><row r=\"1000001\"><c><v>1</v></c></row></sheetData>"));
         },
         Reason::TooManyRows},
        {"columns.xlsx",
         [&](auto& f) { test::WriteZip(f, sheet("<sheetData><row><c r=\"XFE1\"><v>1</v></c></row></sheetData>")); },
         Reason::TooManyColumns},
        {"nosheet.xlsx", [&](auto& f) { test::WriteZip(f, {{"xl/workbook.xml", "<workbook/>"}}); },
         Reason::NoSheet},
    };
    for (const Case& c : cases) {
        const std::filesystem::path file = dir.path() / c.name;
        c.write(file);
        try {
            ReadSurveyExport(file);
            ADD_FAILURE() << c.name << " was read";
        } catch (const WorkbookError& e) {
            EXPECT_EQ(e.reason, c.reason) << c.name << ": " << e.what();
        }
    }
}

// A sheet far larger than the pieces it inflates in, so that tags, values and entities
// fall across their ends: counted as the same answers in CSV are.
TEST(Workbook, ALargeSheetCountsAsTheSameCsv) {
    ScratchFolder dir("vpl-workbook");
    const char* const answers[] = {"Concordo & muito", "Discordo", "", "Strongly agree", "2"};
    std::vector<std::vector<test::SheetCell>> rows{{test::SheetCell("Quando")}};
    std::string csv = "Quando";
    for (int p = 1; p <= 12; ++p) {
        rows[0].emplace_back("P" + std::to_string(p) + " <&>");
        csv += ",P" + std::to_string(p) + " <&>";
    }
    csv += "\r\n";
    for (int r = 0; r < 4000; ++r) {
        std::vector<test::SheetCell> row{test::SheetCell("2026-11-02 09:" + std::to_string(r % 60))};
        csv += "2026-11-02 09:" + std::to_string(r % 60);
        for (int p = 0; p < 12; ++p) {
            const std::string answer = answers[(r * 7 + p * 3) % 5];
            row.push_back(answer == "2" ? test::SheetCell(2) : test::SheetCell(answer));
            csv += "," + answer;
        }
        rows.push_back(std::move(row));
        csv += "\r\n";
    }
    rows.back().back() = test::SheetCell("Concordo totalmente");  // the last cell counts too
    csv.replace(csv.rfind(','), std::string::npos, "," + std::string("Concordo totalmente\r\n"));
    test::WriteXlsx(dir.path() / "large.xlsx", rows);
    test::WriteBytes(dir.path() / "large.csv", csv);
    const SurveyFile sheet = ReadSurveyExport(dir.path() / "large.xlsx");
    const SurveyFile text = ReadSurveyExport(dir.path() / "large.csv");
    EXPECT_EQ(sheet.rowsRead, 4000);
    EXPECT_EQ(sheet.propositions, text.propositions);
    EXPECT_EQ(sheet.unread, text.unread);
}

// A cell as spreadsheet programs write it, or in one of the other forms XML allows (quotes,
// spaces, a prefix, a comment, an entity, no reference), chosen by `form`.
std::string CellXml(int form, const std::string& ref, const std::string& type, std::string value) {
    const bool text = type == "inlineStr";
    if (form == 5 && !text && !value.empty())  // the value's first digit as a character reference
        value = "&#" + std::to_string(int{value[0]}) + ";" + value.substr(1);
    const std::string inner = text ? "<is><t xml:space=\"preserve\">" + value + "</t></is>"
                                   : "<v>" + value + "</v>";
    switch (form) {
        case 0:
            return "<c r=\"" + ref + "\"" + (type.empty() ? "" : " t=\"" + type + "\"") + ">" +
                   (text ? "<is><t>" + value + "</t></is>" : inner) + "</c>";
        case 1: return "<c t='" + type + "' r='" + ref + "'>" + inner + "</c>";
        case 2:
            return "<x:c r=\"" + ref + "\" t=\"" + type + "\">" +
                   (text ? "<x:is><x:t>" + value + "</x:t></x:is>" : "<x:v>" + value + "</x:v>") + "</x:c>";
        case 3: return "<c  r=\"" + ref + "\"\n t=\"" + type + "\" >\n" + inner + "\n</c>";
        case 4: return "<c t=\"" + type + "\"><!-- " + ref + " -->" + inner + "</c>";
        default: return "<c r=\"" + ref + "\" t=\"" + type + "\" >" + inner + "</c >";
    }
}

// Rows of answers, the same sheet written plainly or with its cells in every other form:
// over a sheet many pieces long, later rows wider and their texts longer than the first's.
std::string AnswersSheet(bool plain, int rows) {
    const std::string letters = "ABCDEFGHIJKL";
    std::string xml = "<sheetData>";
    for (int r = 1; r <= rows; ++r) {
        const int width = r < rows / 2 ? 11 : 12;
        xml += plain ? "<row r=\"" + std::to_string(r) + "\">" : "<row spans='1:12' r='" + std::to_string(r) + "'>";
        for (int c = 0; c < width; ++c) {
            const std::string ref = letters.substr(c, 1) + std::to_string(r);
            const int form = plain ? 0 : (r * 7 + c) % 6;
            if (r == 1) xml += CellXml(form, ref, "inlineStr", c == 0 ? "Nota" : "P" + std::to_string(c));
            else if (c == 0) xml += CellXml(form, ref, "inlineStr", "nota " + std::string(r % 300, 'x') + " &amp; " + std::to_string(r));
            else if ((r + c) % 7 == 0) xml += CellXml(form, ref, "", "");
            else if ((r + c) % 3 == 0) xml += CellXml(form, ref, "", std::to_string((r * c) % 6));
            else xml += CellXml(form, ref, "s", std::to_string((r + 2 * c) % 5));
        }
        xml += "</row>";
    }
    return xml + "</sheetData>";
}

TEST(Workbook, EveryFormOfACellReadsAsItsPlainForm) {
    ScratchFolder dir("vpl-workbook");
    const std::vector<std::string> answers = {"Discordo totalmente", "Discordo", "Indiferente",
                                              "Concordo", "Concordo totalmente"};
    test::WriteZip(dir.path() / "plain.xlsx", test::WorkbookParts(AnswersSheet(true, 4000), answers));
    test::WriteZip(dir.path() / "forms.xlsx", test::WorkbookParts(AnswersSheet(false, 4000), answers));
    const SurveyFile plain = ReadSurveyExport(dir.path() / "plain.xlsx");
    const SurveyFile forms = ReadSurveyExport(dir.path() / "forms.xlsx");
    ASSERT_EQ(plain.propositions.size(), 10u);
    EXPECT_EQ(plain.rowsRead, 3999);
    EXPECT_EQ(forms, plain);
}

// A sheet inflates in pieces of 256 KiB: shifted a byte at a time, the end of its first
// piece falls at every byte of a row of every kind of cell, in either form, and the sheet
// reads the same each time.
TEST(Workbook, ACellCutByTheEndOfAPieceReadsWhole) {
    ScratchFolder dir("vpl-workbook");
    const std::size_t piece = std::size_t{256} << 10;
    const std::string opening = test::WorkbookParts("")[3].second;
    const std::size_t before = opening.size() - std::string("</worksheet>").size() + 7;  // and "<!---->"
    // A part of letters, so that the spaces of the sheet's padding pass the zip-bomb check.
    std::string letters(16 << 10, ' ');
    std::uint32_t seed = 7;
    for (char& c : letters) c = static_cast<char>('a' + ((seed = seed * 1664525 + 1013904223) >> 24 & 15));
    for (const bool plain : {true, false}) {
        const std::string sheet = AnswersSheet(plain, 5);
        test::WriteZip(dir.path() / "whole.xlsx", test::WorkbookParts(sheet, {"D", "C"}));
        const SurveyFile expected = ReadSurveyExport(dir.path() / "whole.xlsx");
        const std::size_t row = sheet.find("<row", sheet.find("</row>"));
        for (std::size_t cut = row; cut < sheet.find("</row>", row); ++cut) {
            auto parts = test::WorkbookParts(
                "<!--" + std::string(piece - before - cut, ' ') + "-->" + sheet, {"D", "C"});
            parts.emplace_back("docProps/custom.xml", letters);
            test::WriteZip(dir.path() / "cut.xlsx", parts);
            ASSERT_EQ(ReadSurveyExport(dir.path() / "cut.xlsx"), expected)
                << (plain ? "plain" : "forms") << " cut at " << cut;
        }
    }
}

// A damaged sheet's control bytes inside its tags are passed over, not looped on.
TEST(Workbook, ControlBytesInsideATagArePassedOver) {
    ScratchFolder dir("vpl-workbook");
    const std::string plain = AnswersSheet(true, 40);
    std::string damaged;
    for (std::size_t at = 0; at < plain.size(); ++at) {
        damaged += plain[at];
        for (const std::string name : {"c ", "row "})
            if (plain.compare(at + 1, name.size(), name) == 0) {
                damaged += name.substr(0, name.size() - 1) + std::string("\x01\0\x1f", 3);
                at += name.size() - 1;
            }
    }
    test::WriteZip(dir.path() / "plain.xlsx", test::WorkbookParts(plain, {"D"}));
    test::WriteZip(dir.path() / "damaged.xlsx", test::WorkbookParts(damaged, {"D"}));
    EXPECT_EQ(ReadSurveyExport(dir.path() / "damaged.xlsx"), ReadSurveyExport(dir.path() / "plain.xlsx"));
}

// A sheet read while it inflates on a thread of its own, stopped by what it holds or by
// its damaged bytes: the reason comes out, and the reading thread is not left behind.
TEST(Workbook, ASheetStoppedWhileItInflatesSaysWhy) {
    ScratchFolder dir("vpl-workbook");
    const std::string rows = AnswersSheet(true, 4000);
    const std::string wide = "<row><c r=\"XFE1\"><v>1</v></c></row>";
    test::WriteZip(dir.path() / "wide.xlsx",
                   test::WorkbookParts(std::string(rows).insert(rows.size() / 3, wide), {"D"}));
    try {
        ReadSurveyExport(dir.path() / "wide.xlsx");
        ADD_FAILURE() << "a sheet too wide was read";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.reason, WorkbookError::Reason::TooManyColumns) << e.what();
    }

    const std::filesystem::path damaged = dir.path() / "damaged.xlsx";
    test::WriteZip(damaged, test::WorkbookParts(rows, {"D"}));
    std::string bytes;
    {
        std::ifstream in(damaged, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::size_t sheet = bytes.find("xl/worksheets/sheet1.xml");
    ASSERT_NE(sheet, std::string::npos);
    for (std::size_t at = sheet + 20000; at < sheet + 20400; ++at) bytes[at] = static_cast<char>(~bytes[at]);
    test::WriteBytes(damaged, bytes);
    EXPECT_THROW(ReadSurveyExport(damaged), WorkbookError);
}

// A zip whose entry says it is small, and inflates to far more: its bytes are counted.
TEST(Workbook, AnEntryThatLiesAboutItsSizeIsStoppedWhileInflating) {
    ScratchFolder dir("vpl-workbook");
    const std::filesystem::path file = dir.path() / "liar.xlsx";
    test::WriteZip(file, test::WorkbookParts("<sheetData>" + std::string(std::size_t{1} << 20, ' ') +
                                             "</sheetData>"));
    std::string bytes;
    {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    // The sheet's declared size, in its local header and in the central directory.
    const std::string name = "xl/worksheets/sheet1.xml";
    for (const std::string& signature : {std::string("PK\x03\x04", 4), std::string("PK\x01\x02", 4)}) {
        const std::size_t nameAt = signature[2] == 3 ? 30 : 46, sizeAt = signature[2] == 3 ? 22 : 24;
        for (std::size_t at = bytes.find(signature); at != std::string::npos;
             at = bytes.find(signature, at + 4))
            if (bytes.compare(at + nameAt, name.size(), name) == 0)
                bytes.replace(at + sizeAt, 4, std::string("\x00\x10\x00\x00", 4));  // 4 KiB
    }
    test::WriteBytes(file, bytes);
    EXPECT_THROW(ReadSurveyExport(file), WorkbookError);
}

}  // namespace
}  // namespace vpl::core
