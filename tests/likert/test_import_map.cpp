// The import's choices as a map file and as the settings keep them.
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include "shell/import_map.h"
#include "survey/survey_file.h"

using namespace vpl;

namespace {

// Two statements and a column of codes: rows 2 and 3 of a responses file.
core::SurveyFile survey(const char* firstHeading = "Preço") {
    return core::ReadSurvey(std::string(firstHeading) +
                            ",Prazo,Nota\r\nConcordo,Discordo,A1\r\nDiscordo,Concordo,A2\r\n"
                            "Concordo,Concordo,A3\r\nConcordo,Concordo,A4\r\nDiscordo,Discordo,A5\r\n");
}

QJsonObject json(const char* text) {
    return QJsonDocument::fromJson(text).object();
}

}  // namespace

class ImportMapTest : public QObject {
    Q_OBJECT
  private slots:
    void aMapGivesBackTheChoicesItWasMadeOf() {
        const core::SurveyFile file = survey();
        core::ImportChoices choices = core::DefaultChoices(file, 2);
        QCOMPARE(choices.items.size(), std::size_t(3));
        choices.items[0].factor = 5;
        choices.items[1].reversed = true;
        choices.items[2].factor = 0;
        choices.codes[4].second = core::kNoAnswer;
        choices.markReversed = true;
        choices.titles[4] = "Custos \"diretos\"";
        const QJsonObject map = ImportMapJson(file, choices);
        QCOMPARE(ImportChoicesOf(QJsonDocument::fromJson(QJsonDocument(map).toJson()).object(), file),
                 choices);
    }

    void aMapThatCannotBeUsedIsRefused_data() {
        QTest::addColumn<QString>("map");
        QTest::newRow("factor past 8") << R"({"columns": [{"column": 1, "factor": 9}]})";
        QTest::newRow("no proposition") << R"({"columns": [{"column": 7, "factor": 1}]})";
        QTest::newRow("unknown point") << R"({"codes": [{"code": "A1", "point": "CC"}]})";
        QTest::newRow("code not a text") << R"({"codes": [{"code": 1, "point": "DT"}]})";
        QTest::newRow("title of factor 0") << R"({"titles": {"0": "x"}})";
    }
    void aMapThatCannotBeUsedIsRefused() {
        QFETCH(QString, map);
        QVERIFY_THROWS_EXCEPTION(ImportMapError,
                                 ImportChoicesOf(json(map.toUtf8().constData()), survey()));
    }

    // Without a column, a proposition is not imported; a code's point reads in any case.
    void whatTheMapLeavesOutIsNotImported() {
        const core::ImportChoices choices = ImportChoicesOf(
            json(R"({"columns": [{"column": 2, "factor": 3}], "codes": [{"code": "A1", "point": "ct"}]})"),
            survey());
        QCOMPARE(choices.items,
                 (std::vector<core::ItemChoice>{{1, 0, false}, {2, 3, false}, {3, 0, false}}));
        QCOMPARE(choices.codes, (core::CodeMap{{"A1", 5}}));
    }

    void theSettingsKeepTheChoicesOfEachSurvey() {
        QTemporaryDir dir;
        const QString settings = dir.filePath("settings.ini");
        const core::SurveyFile file = survey();
        QVERIFY(!RememberedChoices(settings, file));
        core::ImportChoices choices = core::DefaultChoices(file, 1);
        choices.items[1].reversed = true;
        RememberChoices(settings, file, choices);
        QCOMPARE(RememberedChoices(settings, survey()), choices);
        QVERIFY(!RememberedChoices(settings, survey("Custo")));  // another survey's headings
    }
};

QTEST_GUILESS_MAIN(ImportMapTest)
#include "test_import_map.moc"
