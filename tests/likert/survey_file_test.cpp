#include "likert/survey_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace vpl::core {
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
    EXPECT_EQ(file.skippedColumns[1].text, "E-mail");
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
    struct Case {
        const char* name;
        std::string bytes;
        SurveyError::Reason reason;
        int propositions;
    };
    const std::vector<Case> cases = {
        {"empty file", "", SurveyError::Reason::NoPropositions, 0},
        {"heading only", "P,DT,D,I,C,CT\r\n", SurveyError::Reason::NoPropositions, 0},
        {"responses without answers", "Hora,E-mail\n9h,a@x\n", SurveyError::Reason::NoPropositions,
         0},
        {"100 propositions", hundred, SurveyError::Reason::TooManyPropositions, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ReadSurvey(c.bytes);
            ADD_FAILURE() << "no error";
        } catch (const SurveyError& e) {
            EXPECT_EQ(e.reason, c.reason);
            EXPECT_EQ(e.propositions, c.propositions);
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

TEST(SurveyFile, TheReadmeSamplesRead) {
    for (const auto& [name, layout] : {std::pair{"counts.csv", SurveyLayout::Counts},
                                       std::pair{"responses.csv", SurveyLayout::Responses}}) {
        std::ifstream in(std::string(VPL_SAMPLES_DIR) + "/" + name, std::ios::binary);
        ASSERT_TRUE(in) << name;
        std::stringstream bytes;
        bytes << in.rdbuf();
        const SurveyFile file = ReadSurvey(bytes.str());
        EXPECT_EQ(file.layout, layout) << name;
        EXPECT_TRUE(file.unread.empty()) << name;
        EXPECT_TRUE(file.totals.empty()) << name;
    }
}

}  // namespace
}  // namespace vpl::core
