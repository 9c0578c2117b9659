#include "survey/survey_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace vpl::core {

void PrintTo(const UnreadCell& cell, std::ostream* out) {
    *out << "row " << cell.row << ", column " << cell.column << ": \"" << cell.text << '"';
}

namespace {

struct Expected {
    std::string text;
    LikertCounts counts;
};

void expectPropositions(const SurveyFile& file, const std::vector<Expected>& expected) {
    ASSERT_EQ(file.propositions.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(file.propositions[i].text, expected[i].text) << "proposition " << i + 1;
        EXPECT_EQ(file.propositions[i].counts, expected[i].counts) << "proposition " << i + 1;
    }
}

TEST(SurveyFile, CountsLayoutWhateverTheToolWrote) {
    struct Case {
        const char* name;
        std::string bytes;
        char delimiter;
        std::vector<Expected> expected;
    };
    const std::vector<Case> cases = {
        {"heading, quoted delimiter, quote and line break",
         "Proposição,DT,D,I,C,CT\r\n"
         "\"Preço, prazo\",1,2,3,4,5\r\n"
         "\"Diz \"\"sim\"\"\nem duas linhas\",0,0,7,0,1\r\n",
         ',',
         {{"Preço, prazo", {1, 2, 3, 4, 5}}, {"Diz \"sim\"\nem duas linhas", {0, 0, 7, 0, 1}}}},
        {"semicolon in Windows-1252, no heading, empty count and total",
         "Pre\xE7o justo;2;;1;4;0;7\nAten\xE7\xE3o ao cliente;0;1;0;3;9;13\n",
         ';',
         {{"Preço justo", {2, 0, 1, 4, 0}}, {"Atenção ao cliente", {0, 1, 0, 3, 9}}}},
        {"tab, UTF-8 with BOM, heading of the scale's words",
         "\xEF\xBB\xBFItem\tStrongly disagree\tDisagree\tNeutral\tAgree\tStrongly agree\n"
         "Delivery on time\t 3 \t1\t0\t2\t4\n",
         '\t',
         {{"Delivery on time", {3, 1, 0, 2, 4}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SurveyFile file = ReadSurvey(c.bytes);
        EXPECT_EQ(file.layout, SurveyLayout::Counts);
        EXPECT_EQ(file.delimiter, c.delimiter);
        EXPECT_EQ(file.rowsRead, static_cast<int>(c.expected.size()));
        expectPropositions(file, c.expected);
        EXPECT_TRUE(file.unread.empty());
        EXPECT_TRUE(file.totals.empty());
    }
}

TEST(SurveyFile, ResponsesInThreeLanguagesSkipTheTimestampAndEmail) {
    const std::string bytes =
        "Carimbo,E-mail,Preço,\"Qualidade; prazo\",Nada\n"
        "2024-05-01 10:00,a@x.org,Concordo totalmente,Strongly Disagree,\n"
        "2024-05-01 10:05,b@x.org,DISCORDO,totalmente de ACUERDO,\n"
        "2024-05-01 10:09,c@x.org,3,Ni de acuerdo ni en desacuerdo,\n"
        "2024-05-02 08:00,,  concordo totalmente ,,\n"
        ",,,,\n";
    const SurveyFile file = ReadSurvey(bytes);
    EXPECT_EQ(file.layout, SurveyLayout::Responses);
    EXPECT_EQ(file.rowsRead, 4);
    expectPropositions(file, {{"Preço", {0, 1, 1, 0, 2}},
                              {"Qualidade; prazo", {1, 0, 1, 0, 1}},
                              {"Nada", {0, 0, 0, 0, 0}}});
    ASSERT_EQ(file.skippedColumns.size(), 2u);
    EXPECT_EQ(file.skippedColumns[0].column, 1);
    EXPECT_EQ(file.skippedColumns[1].heading, "E-mail");
    EXPECT_TRUE(file.unread.empty());
}

TEST(SurveyFile, CellsNotUnderstoodAreListedAndLeftOutOfTheCounts) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<Expected> expected;
        std::vector<UnreadCell> unread;
        std::vector<TotalMismatch> totals;
    };
    const std::vector<Case> cases = {
        {"counts",
         "P,DT,D,I,C,CT,Total\nA,1,x,2,-1,2.5,9\nB,1,1,1,1,1,5,extra\n",
         {{"A", {1, 0, 2, 0, 0}}, {"B", {1, 1, 1, 1, 1}}},
         {{2, 3, "x"}, {2, 5, "-1"}, {2, 6, "2.5"}, {3, 8, "extra"}},
         {{2, "9", 3}}},
        {"responses",
         "Hora,Q1,Q2\n9h,1,talvez\n10h,6,5\n11h,2,4\n",
         {{"Q1", {1, 1, 0, 0, 0}}, {"Q2", {0, 0, 0, 1, 1}}},
         {{2, 3, "talvez"}, {3, 2, "6"}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SurveyFile file = ReadSurvey(c.bytes);
        expectPropositions(file, c.expected);
        ASSERT_EQ(file.unread.size(), c.unread.size());
        for (std::size_t i = 0; i < c.unread.size(); ++i) {
            EXPECT_EQ(file.unread[i].row, c.unread[i].row) << i;
            EXPECT_EQ(file.unread[i].column, c.unread[i].column) << i;
            EXPECT_EQ(file.unread[i].text, c.unread[i].text) << i;
        }
        ASSERT_EQ(file.totals.size(), c.totals.size());
        for (std::size_t i = 0; i < c.totals.size(); ++i) {
            EXPECT_EQ(file.totals[i].row, c.totals[i].row);
            EXPECT_EQ(file.totals[i].sum, c.totals[i].sum);
        }
    }
}

TEST(SurveyFile, NothingOrTooMuchToImportIsRefused) {
    std::string hundred = "P,DT,D,I,C,CT\n";
    for (int i = 1; i <= 100; ++i) hundred += "P" + std::to_string(i) + ",1,0,0,0,0\n";
    using Reason = SurveyError::Reason;
    struct Case {
        const char* name;
        std::string bytes;
        Reason reason;
        int propositions;
        std::vector<SkipReason> skipped;  // what the refusal tells of the columns
    };
    const std::vector<Case> cases = {
        {"empty file", "", Reason::NoPropositions, 0, {}},
        {"heading only", "P,DT,D,I,C,CT\r\n", Reason::NoPropositions, 0, {}},
        {"responses heading only", "Q1,Q2\n", Reason::NoPropositions, 0, {}},
        {"responses without answers",
         "Hora,E-mail\n9h,a@x\n",
         Reason::NoPropositions,
         0,
         {SkipReason::NotAnswers, SkipReason::ToolField}},
        {"a tool's fields only",
         "id,lastpage,Quando\n1,2,2026-03-02\n2,1,2026-03-03\n",
         Reason::NoPropositions,
         0,
         {SkipReason::ToolField, SkipReason::ToolField, SkipReason::Dates}},
        {"100 propositions", hundred, Reason::TooManyPropositions, 100, {}},
        // What export --csv writes without --factor.
        {"every factor's export",
         "Fator,Proposi\xC3\xA7\xC3\xA3o,DT,D,I,C,CT\r\n1,Pre\xC3\xA7o,1,2,3,4,5\r\n"
         "2,Prazo,0,0,1,0,0\r\n",
         Reason::EveryFactor,
         0,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ReadSurvey(c.bytes);
            ADD_FAILURE() << "no error";
        } catch (const SurveyError& e) {
            EXPECT_EQ(e.reason, c.reason);
            EXPECT_EQ(e.propositions, c.propositions);
            EXPECT_TRUE(e.read.propositions.empty());
            std::vector<SkipReason> skipped;
            for (const SkippedColumn& column : e.read.skippedColumns)
                skipped.push_back(column.reason);
            EXPECT_EQ(skipped, c.skipped);
        }
    }
    hundred.erase(hundred.rfind("P100"));
    EXPECT_EQ(ReadSurvey(hundred).propositions.size(), 99u);
}

// What the command line exports must read back unchanged, whatever the texts hold.
TEST(SurveyFile, WrittenCountsReadBack) {
    const std::vector<SurveyProposition> written{
        {"Custo, prazo e \"qualidade\"", {1, 0, 2, 3, 40}},
        {"Duas\r\nlinhas", {0, 0, 0, 0, 0}},
        {"Ação imediata", {7, 6, 5, 4, 3}},
        {"", {1, 1, 1, 1, 1}},
    };
    const SurveyFile read = ReadSurvey(WriteCountsCsv(written));
    EXPECT_EQ(read.layout, SurveyLayout::Counts);
    EXPECT_TRUE(read.unread.empty());
    std::vector<Expected> expected;
    for (const SurveyProposition& p : written) expected.push_back({p.text, p.counts});
    expectPropositions(read, expected);
}

// A LimeSurvey export: the tool's own fields first, id and lastpage holding numbers that
// look like answers, then the statements with numbered and worded labels.
TEST(SurveyFile, LimeSurveyExportStoresItsStatementsOnly) {
    const std::string bytes =
        "id,submitdate,lastpage,startlanguage,seed,O pre\xC3\xA7o \xC3\xA9 justo,"
        "A entrega \xC3\xA9 no prazo,O atendimento resolve\r\n"
        "1,2026-03-02 10:11:12,2,pt-BR,1839400381,5 - Concordo totalmente,4 - Concordo,"
        "3 - Nem concordo nem discordo\r\n"
        "2,,1,pt-BR,402117765,Concordo plenamente,\"Nem concordo, nem discordo\","
        "Discordo plenamente\r\n"
        "3,2026-03-02 11:40:00,2,en,77126,Strongly agree,Disagree,1 - Discordo totalmente\r\n"
        "4,2026-03-03 08:05:59,2,es,1204,Totalmente de acuerdo,"
        "\"Ni de acuerdo, ni en desacuerdo\",2 - Discordo\r\n";
    const SurveyFile file = ReadSurvey(bytes);
    EXPECT_EQ(file.layout, SurveyLayout::Responses);
    EXPECT_EQ(file.rowsRead, 4);
    expectPropositions(file, {{"O preço é justo", {0, 0, 0, 0, 4}},
                              {"A entrega é no prazo", {0, 1, 2, 1, 0}},
                              {"O atendimento resolve", {2, 1, 1, 0, 0}}});
    EXPECT_TRUE(file.unread.empty());
    ASSERT_EQ(file.skippedColumns.size(), 5u);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(file.skippedColumns[c].column, c + 1);
        EXPECT_EQ(file.skippedColumns[c].reason, SkipReason::ToolField) << c + 1;
    }
}

// A Google Forms export whose second statement was partly damaged on its way: the cells a
// person can read are counted, the others listed, and the column stays.
TEST(SurveyFile, GoogleFormsColumnPartlyGarbledIsKept) {
    const std::string bytes =
        "Carimbo de data/hora,Endere\xC3\xA7o de e-mail,O pre\xC3\xA7o \xC3\xA9 justo,"
        "A entrega \xC3\xA9 no prazo\n"
        "2026/11/02 9:14:03 AM GMT-3,ana@example.org,Concordo plenamente,"
        "\"Nem concordo, nem discordo\"\n"
        "2026/11/02 9:20:41 AM GMT-3,bruno@example.org,Concordo,Discordo plenamente\n"
        "2026/11/02 10:02:17 AM GMT-3,carla@example.org,Concordo plenamente,"
        "Concordo tot\xEF\xBF\xBDlmente\n"
        "2026/11/02 11:45:09 AM GMT-3,davi@example.org,Discordo,Concordo plenamente\n"
        "2026/11/03 8:30:55 AM GMT-3,eva@example.org,Indiferente,Discordo plenam#nte\n";
    const SurveyFile file = ReadSurvey(bytes);
    EXPECT_EQ(file.rowsRead, 5);
    expectPropositions(
        file, {{"O preço é justo", {0, 1, 1, 1, 2}}, {"A entrega é no prazo", {1, 0, 1, 0, 1}}});
    ASSERT_EQ(file.unread.size(), 2u);
    EXPECT_EQ(file.unread[0].row, 4);
    EXPECT_EQ(file.unread[0].column, 4);
    EXPECT_EQ(file.unread[1].row, 6);
    EXPECT_EQ(file.unread[1].text, "Discordo plenam#nte");
    ASSERT_EQ(file.skippedColumns.size(), 2u);
    EXPECT_EQ(file.skippedColumns[1].reason, SkipReason::ToolField);
}

// One column beside a statement: whether it is a statement too, and if not, why.
TEST(SurveyFile, AColumnIsAStatementWhenMostOfItIsAnswers) {
    struct Case {
        const char* heading;
        std::vector<std::string> cells;
        std::optional<SkipReason> skipped;  // nothing: a statement
        LikertCounts counts;                // of a statement
        int unread;
    };
    const std::vector<Case> cases = {
        // A tool's fields by their name, however spelt, whatever they hold.
        {"Última página", {"1", "2", "2", "1"}, SkipReason::ToolField, {}, 0},
        {"LASTPAGE", {"1", "2", "2", "1"}, SkipReason::ToolField, {}, 0},
        {" Seed ", {"3", "4", "5", "1"}, SkipReason::ToolField, {}, 0},
        {"E-mail", {"a@x.org", "", "b@x.org", "c@x.org"}, SkipReason::ToolField, {}, 0},
        {"ID", {"1", "2", "3", "4"}, SkipReason::ToolField, {}, 0},
        // By what they hold.
        {"Quando", {"2026-03-02", "2/3/26 10:00", "10:05", "3.4.2026"}, SkipReason::Dates, {}, 0},
        {"Contato", {"a@x.org", "b.c@y.com.br", "", "d@z.es"}, SkipReason::Emails, {}, 0},
        {"Pontos", {"0", "7", "12", "2.5"}, SkipReason::Numbers, {}, 0},
        {"Sequência", {"3", "4", "5", "6", "7", "8"}, SkipReason::Numbers, {}, 0},
        {"Comentário", {"Concordo", "Bom", "Ruim", "nada a dizer"}, SkipReason::NotAnswers, {}, 0},
        // Statements: a stray number or a garbled minority stays listed, not counted.
        {"Q2", {"4", "6", "3", "5"}, std::nullopt, {0, 0, 1, 1, 1}, 1},
        {"Q3", {"Concordo", "", "Concordo plenamente", "Talvez"}, std::nullopt, {0, 0, 0, 1, 1}, 1},
        {"Q4", {"Discordo", "Disc0rdo", "Concordo", "N/A"}, std::nullopt, {0, 1, 0, 1, 0}, 2},
        // A statement that only mentions a tool's field is still a statement.
        {"A seed money helps", {"5", "5", "4", "4"}, std::nullopt, {0, 0, 0, 2, 2}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.heading);
        std::string bytes = CsvRecord(std::vector<std::string>{"Q1", c.heading});
        for (const std::string& cell : c.cells)
            bytes += CsvRecord(std::vector<std::string>{"3", cell});
        const SurveyFile file = ReadSurvey(bytes);
        const LikertCounts q1{0, 0, static_cast<std::int32_t>(c.cells.size()), 0, 0};
        if (c.skipped) {
            expectPropositions(file, {{"Q1", q1}});
            ASSERT_EQ(file.skippedColumns.size(), 1u);
            EXPECT_EQ(file.skippedColumns[0].column, 2);
            EXPECT_EQ(file.skippedColumns[0].reason, *c.skipped);
        } else {
            expectPropositions(file, {{"Q1", q1}, {c.heading, c.counts}});
            EXPECT_TRUE(file.skippedColumns.empty());
        }
        EXPECT_EQ(static_cast<int>(file.unread.size()), c.unread);
    }
}

TEST(SurveyFile, LabelsOfTheScaleAsToolsWriteThem) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"Concordo plenamente", 5},
        {"Nem concordo, nem discordo", 3},
        {"Discordo plenamente", 1},
        {"5 - Concordo totalmente", 5},
        {"1 \xE2\x80\x93 Discordo totalmente", 1},  // an en dash
        {"2. Discordo", 2},
        {"3) Neutral", 3},
        {"4 = Agree", 4},
        {"Neither agree or disagree", 3},
        {"Completely agree", 5},
        {"2 - En desacuerdo", 2},
        {"Ni de acuerdo, ni en desacuerdo", 3},
        {"Completamente en desacuerdo", 1},
        {"4 - Bom", 4},                  // the words are not the scale's: the number
        {"1 - Concordo totalmente", 5},  // a scale numbered the other way: the words
        {"0 - N\xC3\xA3o sei", 0},
        {"1.5", 0},
        {"12", 0},
        {"5 -", 0},
        {"Concordo plenamente demais", 0},
    };
    for (const auto& [cell, point] : cases) EXPECT_EQ(LikertPointOf(cell), point) << cell;
}

// Statements numbered 1 to 5 in the heading are not a counts file's points; a counts file
// so headed still reads as counts, by counts no answer could be.
TEST(SurveyFile, HeadingsNumberedOneToFive) {
    struct Case {
        const char* name;
        std::string bytes;
        SurveyLayout layout;
        std::vector<Expected> expected;
    };
    const std::vector<Case> cases = {
        {"a timestamp, then statements 1 to 5",
         "Carimbo,1,2,3,4,5\n2024-05-01 10:00,5,4,3,2,1\n2024-05-02 11:00,5,5,1,1,3\n",
         SurveyLayout::Responses,
         {{"1", {0, 0, 0, 0, 2}},
          {"2", {0, 0, 0, 1, 1}},
          {"3", {1, 0, 1, 0, 0}},
          {"4", {1, 1, 0, 0, 0}},
          {"5", {1, 0, 1, 0, 0}}}},
        {"statements only",
         "1,2,3,4\n5,4,3,Concordo\n",
         SurveyLayout::Responses,
         {{"1", {0, 0, 0, 0, 1}},
          {"2", {0, 0, 0, 1, 0}},
          {"3", {0, 0, 1, 0, 0}},
          {"4", {0, 0, 0, 1, 0}}}},
        {"names, then answers that could be counts",
         "Nome,1,2,3,4,5\nAna,5,4,3,3,2\n",
         SurveyLayout::Responses,
         {{"1", {0, 0, 0, 0, 1}},
          {"2", {0, 0, 0, 1, 0}},
          {"3", {0, 0, 1, 0, 0}},
          {"4", {0, 0, 1, 0, 0}},
          {"5", {0, 1, 0, 0, 0}}}},
        {"counts under numbered points",
         "Item,1,2,3,4,5,Total\nPre\xC3\xA7o,1,2,4,3,2,12\nPrazo,0,2,7,12,9,30\n",
         SurveyLayout::Counts,
         {{"Preço", {1, 2, 4, 3, 2}}, {"Prazo", {0, 2, 7, 12, 9}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SurveyFile file = ReadSurvey(c.bytes);
        EXPECT_EQ(file.layout, c.layout);
        expectPropositions(file, c.expected);
        EXPECT_TRUE(file.totals.empty());
    }
}

TEST(SurveyFile, TheReadmeSamplesRead) {
    for (const auto& [name, layout] : {std::pair{"counts.csv", SurveyLayout::Counts},
                                       std::pair{"responses.csv", SurveyLayout::Responses},
                                       std::pair{"limesurvey.csv", SurveyLayout::Responses}}) {
        std::ifstream in(std::string(VPL_SAMPLES_DIR) + "/" + name, std::ios::binary);
        ASSERT_TRUE(in) << name;
        std::stringstream bytes;
        bytes << in.rdbuf();
        const SurveyFile file = ReadSurvey(bytes.str());
        EXPECT_EQ(file.layout, layout) << name;
        EXPECT_EQ(file.propositions.size(), 3u) << name;  // each sample holds three
        EXPECT_TRUE(file.unread.empty()) << name;
        EXPECT_TRUE(file.totals.empty()) << name;
    }
}

// A text a spreadsheet would run is written behind an apostrophe, and reads back as it was;
// so does a text that only looks like a marked one.
TEST(SurveyFile, FormulasAreWrittenInertAndReadBack) {
    const std::vector<std::string> texts{"=cmd|' /C calc'!A0",
                                         "+1+2",
                                         "-2+3",
                                         "@SUM(A1:A9)",
                                         "'=marked",
                                         "''=twice",
                                         "'plain",
                                         "a=b",
                                         "-"};
    std::vector<SurveyProposition> written;
    for (const std::string& text : texts) written.push_back({text, {1, 2, 3, 4, 5}});
    const std::string csv = WriteCountsCsv(written);
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);  // the heading
    while (std::getline(lines, line))
        EXPECT_EQ(std::string("=+-@").find(line.front()), std::string::npos) << line;

    std::vector<Expected> expected;
    for (const std::string& text : texts) expected.push_back({text, {1, 2, 3, 4, 5}});
    const SurveyFile read = ReadSurvey(csv);
    EXPECT_TRUE(read.unread.empty());
    expectPropositions(read, expected);

    // A tab or a carriage return first is a formula to some spreadsheets too.
    for (const std::string cell : {"\tx", "\rx"}) {
        const std::vector<std::string> record{cell};
        const std::string written = CsvRecord(record);
        EXPECT_EQ(written[written.front() == '"' ? 1 : 0], '\'') << written;
    }
}

// What a reader makes of the bytes fed in pieces of one size, whether it returns or refuses.
struct Outcome {
    std::optional<SurveyError::Reason> refused;
    int propositions = 0;
    SurveyFile file;
    bool operator==(const Outcome&) const = default;
};

Outcome readInPieces(std::string_view bytes, std::size_t piece) {
    SurveyStream stream;
    for (std::size_t at = 0; at < bytes.size(); at += piece) stream.feed(bytes.substr(at, piece));
    try {
        return {std::nullopt, 0, stream.finish()};
    } catch (const SurveyError& e) {
        return {e.reason, e.propositions, e.read};
    }
}

std::string readmeSample(const char* name) {
    std::ifstream in(std::string(VPL_SAMPLES_DIR) + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A heading of the scale's words that heads counts in UTF-8, but not in Windows-1252, where
// its "Não" reads "NÃ£o".
const std::string kWordsHeading =
    "Item,Discordo totalmente,Discordo,N\xC3\xA3o concordo nem discordo,Concordo,"
    "Concordo totalmente\n";

// Wherever the pieces end, in a quote, a character or a line end, and however late the
// encoding shows, the file reads as it does whole.
TEST(SurveyFile, ReadsTheSameInPiecesOfAnySize) {
    std::string respondents = "Carimbo,E-mail,Q1,\"Q2, \"\"a segunda\"\"\",Coment\xE1rio\r\n";
    for (int r = 0; r < 3000; ++r)
        respondents += "2026-03-02 10:" + std::to_string(r % 60) + ",p" + std::to_string(r) +
                       "@x.org," + "12345x"[r % 6] + ",\"Concordo\r\n totalmente\"," +
                       (r % 7 ? "" : "\"bom, \"\"\xF3timo\"\"\"") + "\r\n";
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"counts sample", readmeSample("counts.csv")},
        {"responses sample", readmeSample("responses.csv")},
        {"LimeSurvey sample", readmeSample("limesurvey.csv")},
        {"quotes and line breaks",
         "Proposição,DT,D,I,C,CT\r\n\"Preço, prazo\",1,2,3,4,5\r\n"
         "\"Diz \"\"sim\"\"\nem duas linhas\" ,0,0,7,0,1\r\n  \r\n"},
        {"BOM and tab", "\xEF\xBB\xBFItem\tDT\tD\tI\tC\tCT\tTotal\nPrazo\t 3 \t1\t0\t2\t4\t9\n"},
        {"Windows-1252 and semicolon", "Pre\xE7o justo;2;;1;4;0;7\nAten\xE7\xE3o;0;1;0;x;9;y;z\n"},
        {"numbered heading, counts", "Item,1,2,3,4,5\nA,1,2,4,3,2\nB,0,2,7,12,9\n"},
        {"numbered heading, responses", "Nome,1,2,3,4,5\nAna,5,4,3,3,2\nBia,1,1,1,1,1\n"},
        {"every factor", "Fator,Proposição,DT,D,I,C,CT\r\n1,A,1,2,3,4,5\r\n"},
        {"3,000 respondents, a comment in Windows-1252", respondents},
        {"the heading decides by the encoding, and stays UTF-8",
         kWordsHeading + "Pre\xC3\xA7o,1,2,3,4,5\n"},
        {"the heading decides by the encoding, then Windows-1252",
         kWordsHeading + "Pre\xE7o,1,2,3,4,5\n"},
        {"a BOM cut short", "\xEF\xBB"},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const Outcome whole = readInPieces(bytes, bytes.size() + 1);
        for (const std::size_t piece : {1, 7, 4096}) {
            const Outcome pieces = readInPieces(bytes, piece);
            EXPECT_TRUE(pieces == whole)
                << "in pieces of " << piece << ": " << pieces.file.propositions.size()
                << " propositions, " << pieces.file.unread.size() << " cells not understood";
        }
    }
    // The heading is the scale's in UTF-8 only.
    EXPECT_EQ(ReadSurvey(kWordsHeading + "Pre\xC3\xA7o,1,2,3,4,5\n").layout, SurveyLayout::Counts);
    const SurveyFile cp1252 = readInPieces(kWordsHeading + "Pre\xE7o,1,2,3,4,5\n", 1).file;
    EXPECT_EQ(cp1252.layout, SurveyLayout::Responses);
    ASSERT_EQ(cp1252.propositions.size(), 5u);
    EXPECT_EQ(cp1252.propositions[2].text, "N\xC3\x83\xC2\xA3o concordo nem discordo");
}

// The encoding shows only in a row past the first read of the file: the rows before it,
// already counted, read as that encoding has them.
TEST(SurveyFile, AByteLateInTheFileDecidesTheEncodingOfAll) {
    struct Case {
        const char* name;
        std::string lastCell;
        std::string heading;              // of the first column, as read
        std::int32_t neutral;             // answers 3 in the first column
        std::vector<std::string> unread;  // of the first column
    };
    const std::vector<Case> cases = {
        {"UTF-8", "N\xC3\xA3o sei", "Caf\xC3\xA9", 1, {"N\xC3\xA3o sei"}},
        {"Windows-1252",
         "N\xE3o sei",
         "Caf\xC3\x83\xC2\xA9",
         0,
         {"N\xC3\x83\xC2\xA3o concordo nem discordo", "N\xC3\xA3o sei"}},
    };
    namespace fs = std::filesystem;
    const fs::path path =
        fs::temp_directory_path() / ("vpl-late-" + std::to_string(::getpid()) + ".csv");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = "Caf\xC3\xA9,Q2\r\nN\xC3\xA3o concordo nem discordo,4\r\n";
        int fillers = 0;
        for (; bytes.size() <= kSurveyReadBuffer; ++fillers) bytes += "4,4\r\n";
        bytes += c.lastCell + ",5\r\n";
        std::ofstream(path, std::ios::binary) << bytes;
        const SurveyFile file = ReadSurveyFile(path);
        ASSERT_EQ(file.propositions.size(), 2u);
        EXPECT_EQ(file.propositions[0].text, c.heading);
        EXPECT_EQ(file.propositions[0].counts, (LikertCounts{0, 0, c.neutral, fillers, 0}));
        EXPECT_EQ(file.propositions[1].counts, (LikertCounts{0, 0, 0, fillers + 1, 1}));
        std::vector<std::string> unread;
        for (const UnreadCell& cell : file.unread) unread.push_back(cell.text);
        EXPECT_EQ(unread, c.unread);
    }
    fs::remove(path);
}

// However many cells are not understood, the first are listed, in row and column order and
// only of statements, and the rest counted; a long text is cut where a character ends.
TEST(SurveyFile, CellsNotUnderstoodAreListedUpToALimit) {
    const std::string longText = "x" + [] {
        std::string e;
        for (int i = 0; i < 125; ++i) e += "\xC3\xA9";
        return e;
    }();
    std::string bytes = "Q1,Q2,Coment\xC3\xA1rio\n";
    std::vector<std::pair<int, int>> expected;  // row, column of every cell not understood
    for (int row = 2; row < 3002; ++row) {
        const bool first = row % 2 == 0, second = row % 3 == 0;
        bytes += std::string(first ? "talvez" : "4") + "," + (second ? longText : "5") +
                 ",bom demais para uma nota\n";
        if (first) expected.push_back({row, 1});
        if (second) expected.push_back({row, 2});
    }
    const SurveyFile file = ReadSurvey(bytes);
    ASSERT_EQ(file.propositions.size(), 2u);
    ASSERT_EQ(file.unread.size(), kUnreadListed);
    EXPECT_EQ(file.unreadNotListed, static_cast<int>(expected.size() - kUnreadListed));
    for (std::size_t i = 0; i < kUnreadListed; ++i) {
        ASSERT_EQ(std::pair(file.unread[i].row, file.unread[i].column), expected[i]) << i;
        EXPECT_EQ(file.unread[i].text,
                  file.unread[i].column == 1 ? "talvez" : longText.substr(0, 199) + "\xE2\x80\xA6");
    }

    // Counts: in the order of the rows, each row's own cells before those past its total.
    std::string counts = "P,DT,D,I,C,CT\n";
    for (const char* row : {"A,x,1,1,1,1", "B,1,1,1,1,y"}) {
        counts += row;
        for (int extra = 0; extra < 600; ++extra) counts += ",e";
        counts += "\n";
    }
    const SurveyFile read = ReadSurvey(counts);
    ASSERT_EQ(read.unread.size(), kUnreadListed);
    // Each row: its one count not understood, and the 599 cells past its total.
    EXPECT_EQ(read.unreadNotListed, 2 * 600 - static_cast<int>(kUnreadListed));
    EXPECT_EQ(read.unread[0], (UnreadCell{2, 2, "x"}));
    EXPECT_EQ(read.unread[1], (UnreadCell{2, 8, "e"}));
    EXPECT_EQ(read.unread[600], (UnreadCell{3, 6, "y"}));
    EXPECT_EQ(read.unread[601], (UnreadCell{3, 8, "e"}));
}

// A cell is read up to its first 64 KiB, wherever the read ends.
TEST(SurveyFile, ALongCellIsReadUpToALimit) {
    const std::string text(100000, 'x');
    const std::string bytes = "P,DT,D,I,C,CT\n\"" + text + "\",1,2,3,4,5\n";
    for (const std::size_t piece : {std::size_t{4096}, bytes.size()}) {
        const SurveyFile file = readInPieces(bytes, piece).file;
        ASSERT_EQ(file.propositions.size(), 1u);
        EXPECT_EQ(file.propositions[0].text, text.substr(0, 65536));
        EXPECT_EQ(file.propositions[0].counts, (LikertCounts{1, 2, 3, 4, 5}));
    }
}

// Only a regular file is read, of any size, and anything else is refused at once: a FIFO
// without a writer, a device without an end, a folder.
TEST(SurveyFile, OnlyRegularFilesAreRead) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("vpl-survey-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path fifo = dir / "fifo.csv";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path answers = dir / "answers.csv";
    std::ofstream(answers, std::ios::binary) << "P,DT,D,I,C,CT\r\nA,1,2,3,4,5\r\n";
    using Reason = SurveyFileError::Reason;
    struct Case {
        fs::path file;
        std::optional<Reason> refused;
    };
    const std::vector<Case> cases{
        {answers, std::nullopt},
        {"/dev/zero", Reason::NotARegularFile},
        {fifo, Reason::NotARegularFile},
        {dir, Reason::NotARegularFile},
        {dir / "missing.csv", Reason::CannotOpen},
    };
    ::alarm(30);  // a read that blocks ends the run instead of hanging it
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.string());
        try {
            const SurveyFile file = ReadSurveyFile(c.file);
            EXPECT_FALSE(c.refused);
            expectPropositions(file, {{"A", {1, 2, 3, 4, 5}}});
        } catch (const SurveyFileError& e) {
            EXPECT_EQ(c.refused, e.reason) << e.what();
        }
    }
    ::alarm(0);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace vpl::core
