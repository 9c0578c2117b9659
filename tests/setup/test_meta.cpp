#include <QClipboard>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include "setup/frmMeta.h"
#include "shell/decision_settings.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "store/schema.h"
#include "tests/setup/setup_test_support.h"
#include "tests/support/test_support.h"
#include "tests/support/window_checks.h"

using namespace vpl;
using vpl::test::child;
using vpl::test::Fixture;

namespace {

QLineEdit* title(QWidget& w, int n) {
    return child<QLineEdit>(w, qPrintable(QString("lblFator%1").arg(n)));
}
QLineEdit* count(QWidget& w, int n) {
    return child<QLineEdit>(w, qPrintable(QString("txtP%1").arg(n)));
}

QDoubleSpinBox* level(QWidget& w) {
    return child<QDoubleSpinBox>(w, "txtExigencia");
}
QSpinBox* weight(QWidget& w, int n) {
    return child<QSpinBox>(w, qPrintable(QString("txtPeso%1").arg(n)));
}

// The data file's bytes with the program's connection closed; a log left beside it counts.
QByteArray closedFileBytes(Fixture& f) {
    f.program().dbBanco.reset();
    QFile file(f.program().dataFilePath());
    if (!file.open(QIODevice::ReadOnly)) qFatal("data file not readable");
    const QByteArray log = QFile::exists(file.fileName() + "-wal") ? "log left: " : "";
    return log + file.readAll();
}

// The window shown and active, so that leaving a box really moves the focus.
void showActive(QWidget& w) {
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

}  // namespace

class MetaTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { MessageBox::setTestMode(true); }

    void loadShowsTheCountTitlesAndPropositionCounts() {
        Fixture f;
        test::fillWithData(f.db());
        f.program().gProximaJanela = NextWindow::Factors;
        test::Loaded<frmMeta> w(f.program());
        QCOMPARE(child<QLineEdit>(w, "lblFatores")->text(), "6");
        for (int n = 1; n <= store::kFactorSlots; ++n) {
            QCOMPARE(title(w, n)->text(), QString("Fator n%1").arg(n));
            QCOMPARE(count(w, n)->text(), QString::number(n + 10));
            QVERIFY(count(w, n)->alignment() & Qt::AlignHCenter);
            QCOMPARE(child<QLabel>(w, qPrintable(QString("Label%1").arg(n)))->text(),
                     QString("Fator %1:").arg(n));
        }
        QCOMPARE(f.program().gProximaJanela, NextWindow::None);
        QVERIFY(!child<QPushButton>(w, "cmdFatores")->icon().isNull());
        QVERIFY(!child<QPushButton>(w, "cmdSair")->icon().isNull());
    }

    void captionsFollowTheStoredLanguage_data() {
        QTest::addColumn<int>("idioma");
        // title, Label10, Label11, Label12, cmdFatores
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("English")
            << 1
            << QStringList{"Factors", "Number of Factors to be analyzed:",
                           "Enter the number of factors to analyze (from 2 to 8) and, in the "
                           "lines below, write the title of each one of them and its number of "
                           "propositions.",
                           "Propositions:", "Factors"};
        // Spanish keeps the English word on the opinions button.
        QTest::newRow("Spanish")
            << 2
            << QStringList{"Factores", "Número de factores a analizar:",
                           "Introduzca la cantidad de factores a analizar (de 2 a 8) y, en las "
                           "líneas de abajo, escriba el título de cada uno de ellos y la "
                           "cantidad de proposiciones.",
                           "Proposiciones:", "Factors"};
        const QStringList design{
            "Fatores", "Número de Fatores a analisar:",
            "Insira a quantidade de fatores a analisar (de 2 a 8) e nas linhas abaixo escreva os "
            "títulos de cada um deles e a quantidade de pressupostos.",
            "Pressupostos:", "&Opiniões"};
        QTest::newRow("Portuguese") << 3 << design;
        QTest::newRow("unknown code") << 0 << design;
    }
    void captionsFollowTheStoredLanguage() {
        QFETCH(int, idioma);
        QFETCH(QStringList, captions);
        Fixture f;
        f.db().update("Parametro", 1, {{"Idioma", idioma}});
        test::Loaded<frmMeta> w(f.program());
        QCOMPARE(
            (QStringList{w.windowTitle(), child<QLabel>(w, "Label10")->text(),
                         child<QLabel>(w, "Label11")->text(), child<QLabel>(w, "Label12")->text(),
                         child<QPushButton>(w, "cmdFatores")->text()}),
            captions);
        QCOMPARE(child<QPushButton>(w, "cmdSair")->text(), "&Save/Return");
        QCOMPARE(child<QLabel>(w, "Label1")->text(), "Fator 1:");
        QCOMPARE(int(f.program().gIdioma), idioma == 0 ? 3 : idioma);
    }

    void leavingTheFactorCountKeepsItFromTwoToEight_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("9") << "9"
                           << "4";
        QTest::newRow("1") << "1"
                           << "4";
        QTest::newRow("0") << "0"
                           << "4";
        QTest::newRow("letter") << "x"
                                << "4";
        QTest::newRow("minus") << "-"
                               << "4";
        QTest::newRow("empty") << ""
                               << "4";
        QTest::newRow("2") << "2"
                           << "2";
        QTest::newRow("6") << "6"
                           << "6";
        QTest::newRow("8") << "8"
                           << "8";
    }
    void leavingTheFactorCountKeepsItFromTwoToEight() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Fixture f;
        test::Loaded<frmMeta> w(f.program());
        showActive(w);
        auto* lblFatores = child<QLineEdit>(w, "lblFatores");
        lblFatores->setFocus();
        QTRY_VERIFY(lblFatores->hasFocus());
        lblFatores->clear();
        QTest::keyClicks(lblFatores, typed);
        QCOMPARE(lblFatores->text(), typed);  // nothing is judged while typing
        QTest::keyClick(lblFatores, Qt::Key_Tab);
        QTRY_VERIFY(!lblFatores->hasFocus());
        QCOMPARE(lblFatores->text(), shown);
        f.reopen();
        QCOMPARE(f.db().firstRow("Parametro", {"Fatores"}).value("Fatores"), store::Value(4));
    }

    void factorCountRule() {
        const core::NumberLocale point{'.'};
        QCOMPARE(validFactorCount("5", point), "5");
        QCOMPARE(validFactorCount("10", point), "4");
        QCOMPARE(validFactorCount("8.5", point), "4");
        QCOMPARE(validFactorCount("7", core::NumberLocale{','}), "7");
        QCOMPARE(validFactorCount(" ", point), "4");
        QCOMPARE(validFactorCount("3x", point), "4");
    }

    void saveWritesTheCountAndAllEightRows() {
        Fixture f;
        test::fillWithData(f.db());
        test::Loaded<frmMeta> w(f.program());
        auto* lblFatores = child<QLineEdit>(w, "lblFatores");
        lblFatores->clear();
        QTest::keyClicks(lblFatores, "3");
        title(w, 1)->clear();
        QTest::keyClicks(title(w, 1), "Custo");
        QTest::keyClicks(title(w, 7), " (reserva)");  // beyond the count: still written
        count(w, 5)->clear();
        count(w, 2)->clear();
        QTest::keyClicks(count(w, 2), "99");
        count(w, 3)->clear();
        QTest::keyClicks(count(w, 3), "x");  // written as typed
        QTest::mouseClick(child<QPushButton>(w, "cmdSair"), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(f.program().gProximaJanela, NextWindow::None);
        QCOMPARE(MessageBox::shown().size(), 0);

        f.reopen();
        store::Database& db = f.db();
        QCOMPARE(db.firstRow("Parametro", {"Fatores"}).value("Fatores"), store::Value(3));
        // The Likert window offers nFatores factors: it follows the count.
        QCOMPARE(db.firstRow("Cadastro", {"nFatores"}).value("nFatores"), store::Value(3));
        const auto rows = db.firstRows("Fatores", {"Fator", "Prop", "Mi1", "Mi2"}, 9);
        QCOMPARE(rows[0].text("Fator"), "Custo");
        QCOMPARE(rows[6].text("Fator"), "Fator n7 (reserva)");
        QCOMPARE(rows[7].text("Fator"), "Fator n8");
        QCOMPARE(rows[1].value("Prop"), store::Value("99"));
        QCOMPARE(rows[2].value("Prop"), store::Value("x"));
        QCOMPARE(rows[4].value("Prop"), store::Value(""));
        QCOMPARE(rows[7].value("Prop"), store::Value("18"));
        // The degrees belong to the Likert window; the ninth row is no slot.
        QCOMPARE(rows[1].number("Mi1"), 0.27);
        QCOMPARE(rows[1].number("Mi2"), 0.48);
        QCOMPARE(rows[8].text("Fator"), "Nono");
    }

    void opinionsButtonSavesAndAsksForTheLikertWindow() {
        Fixture f;
        test::Loaded<frmMeta> w(f.program());
        auto* lblFatores = child<QLineEdit>(w, "lblFatores");
        lblFatores->clear();
        QTest::keyClicks(lblFatores, "7");
        QTest::keyClicks(title(w, 7), "Prazo");
        QTest::mouseClick(child<QPushButton>(w, "cmdFatores"), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(f.program().gProximaJanela, NextWindow::Likert);
        f.reopen();
        QCOMPARE(f.db().firstRow("Parametro", {"Fatores"}).value("Fatores"), store::Value(7));
        QCOMPARE(f.db().rowByKey("Fatores", {"Fator"}, 7)->text("Fator"), "Prazo");
    }

    void aCountNeverLeftIsCheckedBeforeSaving() {
        // An access key clicks the button while the count box keeps the focus.
        Fixture f;
        test::Loaded<frmMeta> w(f.program());
        showActive(w);
        auto* lblFatores = child<QLineEdit>(w, "lblFatores");
        lblFatores->setFocus();
        lblFatores->clear();
        QTest::keyClicks(lblFatores, "9");
        QTest::keyClick(lblFatores, Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(lblFatores->text(), "4");
        f.reopen();
        QCOMPARE(f.db().firstRow("Parametro", {"Fatores"}).value("Fatores"), store::Value(4));
        QCOMPARE(f.db().firstRow("Cadastro", {"nFatores"}).value("nFatores"), store::Value(4));
    }

    void closingByEscapeOrTheTitleBarSavesLikeReturn_data() { test::addEscapeAndTitleBar(); }
    void closingByEscapeOrTheTitleBarSavesLikeReturn() {
        QFETCH(QString, how);
        // The same typing, left once by the return button and once by `how`.
        QStringList stored[2];
        const QString ways[2] = {"cmdSair", how};
        for (int i = 0; i < 2; ++i) {
            Fixture f;
            test::fillWithData(f.db());
            const QStringList before = test::storeSnapshot(f.db());
            test::Loaded<frmMeta> w(f.program());
            showActive(w);
            auto* lblFatores = child<QLineEdit>(w, "lblFatores");
            lblFatores->clear();
            QTest::keyClicks(lblFatores, "7");
            QTest::keyClicks(title(w, 2), " mudado");
            count(w, 4)->clear();
            QTest::keyClick(title(w, 2), Qt::Key_Return);  // Return closes nothing
            QVERIFY(w.isVisible());
            test::leave(w, ways[i]);
            QVERIFY(!w.isVisible());
            QCOMPARE(f.program().gProximaJanela,
                     NextWindow::None);  // the Likert window does not follow
            QCOMPARE(MessageBox::shown().size(), 0);
            f.reopen();
            stored[i] = test::storeSnapshot(f.db());
            QVERIFY(stored[i] != before);
        }
        QCOMPARE(stored[1], stored[0]);
    }

    void lengthLimitsHoldForTypingAndPasting() {
        Fixture f;
        test::Loaded<frmMeta> w(f.program());
        QTest::keyClicks(title(w, 4), QString(61, 't'));
        QCOMPARE(title(w, 4)->text().size(), 60);
        QTest::keyClicks(count(w, 4), "123");
        QCOMPARE(count(w, 4)->text(), "12");
        // A paste beyond the limit is refused whole, never cut.
        count(w, 6)->clear();
        QApplication::clipboard()->setText("456");
        count(w, 6)->paste();
        QCOMPARE(count(w, 6)->text(), "");
        QApplication::clipboard()->setText("45");
        count(w, 6)->paste();
        QCOMPARE(count(w, 6)->text(), "45");
        const QString title8 = title(w, 8)->text();
        title(w, 8)->insert(QString(70, 'p'));
        QCOMPARE(title(w, 8)->text(), title8);
        auto* lblFatores = child<QLineEdit>(w, "lblFatores");
        lblFatores->clear();
        QApplication::clipboard()->setText("57");
        lblFatores->paste();
        QCOMPARE(lblFatores->text(), "");
        QApplication::clipboard()->setText("5");
        lblFatores->paste();
        QCOMPARE(lblFatores->text(), "5");
        QTest::mouseClick(child<QPushButton>(w, "cmdSair"), Qt::LeftButton);
        f.reopen();
        QCOMPARE(f.db().rowByKey("Fatores", {"Fator"}, 4)->text("Fator"), std::string(60, 't'));
        QCOMPARE(f.db().rowByKey("Fatores", {"Prop"}, 6)->text("Prop"), "45");
        QCOMPARE(f.db().firstRow("Parametro", {"Fatores"}).value("Fatores"), store::Value(5));
    }

    void loadFailuresShowAMessageAndNoWindow_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("seven Fatores rows") << "DELETE FROM Fatores WHERE Id = 3"
                                            << "Fatores tem 7 linhas";
        QTest::newRow("NULL count") << "UPDATE Parametro SET Fatores = NULL"
                                    << "Parametro.Fatores";
        QTest::newRow("no Parametro row") << "DELETE FROM Parametro"
                                          << "Parametro tem 0 linhas";
    }
    void loadFailuresShowAMessageAndNoWindow() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        Fixture f;
        f.db().execute(damage.toStdString());
        test::verifyOpensOnlyAnError<frmMeta>(f.program(), message);
    }

    void nullTextsReadAsEmpty() {
        Fixture f;
        test::fillWithData(f.db());
        f.db().execute("UPDATE Fatores SET Fator = NULL WHERE Id = 8");
        f.db().execute("UPDATE Fatores SET Prop = NULL WHERE Id = 2");
        test::Loaded<frmMeta> w(f.program());
        QCOMPARE(title(w, 8)->text(), "");
        QCOMPARE(count(w, 2)->text(), "");
        QCOMPARE(title(w, 2)->text(), "Fator n2");
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    // A save writes only what the user changed, and nothing at all over another program's
    // write made while the window was open; a title too long to type is kept whole.
    void aSaveWritesOnlyWhatChangedAndNeverOverAnotherWriter() {
        Fixture f;
        test::fillWithData(f.db());
        const std::string longTitle(1 << 20, 't');
        f.db().update("Fatores", 3, {{"Fator", longTitle}});
        {
            test::Loaded<frmMeta> w(f.program());
            QTest::keyClicks(title(w, 2), "!");
            QTest::mouseClick(child<QPushButton>(w, "cmdSair"), Qt::LeftButton);
        }
        f.reopen();
        QCOMPARE(f.db().rowByKey("Fatores", {"Fator"}, 3)->text("Fator"), longTitle);
        QCOMPARE(f.db().rowByKey("Fatores", {"Fator"}, 2)->text("Fator"), "Fator n2!");

        test::Loaded<frmMeta> w(f.program());
        w.show();
        store::Database::open(f.program().dataFilePath().toStdString(), store::kDatabaseKey)
            ->update("Fatores", 1, {{"Prop", "7"}});
        QTest::keyClicks(title(w, 2), "?");
        MessageBox::queueAnswer(MessageBox::Answer::Yes);  // close without saving
        test::leave(w, "cmdSair");
        test::verifyOneError("Outro programa");
        f.reopen();
        QCOMPARE(f.db().rowByKey("Fatores", {"Prop"}, 1)->text("Prop"), "7");
        QCOMPARE(f.db().rowByKey("Fatores", {"Fator"}, 2)->text("Fator"), "Fator n2!");
    }

    // Factors analysed without a number of propositions are named until one is typed.
    void factorsWithoutAPropositionCountAreNamed() {
        Fixture f;
        test::fillWithData(f.db());
        f.db().execute("UPDATE Parametro SET Fatores = 3");
        f.db().execute("UPDATE Fatores SET Prop = '' WHERE Id IN (2, 5)");  // 5 is not analysed
        test::Loaded<frmMeta> w(f.program());
        auto* mark = child<QLabel>(w, "lblSemPressupostos");
        QVERIFY(!mark->isHidden());
        QVERIFY2(mark->text().contains("2") && !mark->text().contains("5"),
                 qPrintable(mark->text()));
        QTest::keyClicks(count(w, 2), "4");
        QVERIFY(mark->isHidden());
    }

    void theMarkSpeaksTheStoredLanguage() {
        for (Language language : {Language::English, Language::Spanish, Language::Portuguese}) {
            Fixture f;
            test::fillWithData(f.db());
            f.db().update("Parametro", 1, {{"Idioma", int(core::StoredNumber(language))}});
            f.db().execute("UPDATE Fatores SET Prop = '' WHERE Id = 2");
            test::Loaded<frmMeta> w(f.program());
            QCOMPARE(child<QLabel>(w, "lblSemPressupostos")->text(),
                     QString::fromUtf8(core::TextIn(kMetaTexts[0], language)).arg("2"));
        }
    }

    // An old file: the defaults shown, typed values saved with their fields, shown again.
    void theSettingsAreSavedAsTypedAndShownAsStored() {
        Fixture f(core::NumberLocale{','});
        {
            test::Loaded<frmMeta> w(f.program());
            QCOMPARE(level(w)->text(), "0,50");  // the user's separator
            showActive(w);
            level(w)->setFocus();
            level(w)->selectAll();
            QTest::keyClicks(level(w), "0,57");
            QTest::keyClick(weight(w, 3), Qt::Key_Up);
            weight(w, 5)->selectAll();
            QTest::keyClicks(weight(w, 5), "10");
            test::leave(w, "cmdSair");
        }
        f.reopen();
        QCOMPARE(f.db().firstRow("Parametro", {"Exigencia"}).value("Exigencia"),
                 store::Value(0.57));
        const auto rows = f.db().firstRows("Fatores", {"Peso"}, store::kFactorSlots);
        QCOMPARE(rows[2].value("Peso"), store::Value(2));
        QCOMPARE(rows[4].value("Peso"), store::Value(10));
        QCOMPARE(rows[0].value("Peso"), store::Value(1));
        f.db().update("Fatores", 8, {{"Peso", 6}});
        test::Loaded<frmMeta> w(f.program());
        QCOMPARE(level(w)->value(), 0.57);
        QCOMPARE((QList<int>{weight(w, 3)->value(), weight(w, 5)->value(), weight(w, 8)->value()}),
                 (QList<int>{2, 10, 6}));
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    // An old file opened, read as the window and an analysis read it, and left unchanged.
    void anOldFileReadAndLeftUnchangedKeepsItsBytes() {
        Fixture f;
        const QByteArray before = closedFileBytes(f);
        f.reopen();
        QCOMPARE(readDecisionSettings(nullptr, f.program()).requirementLevel(),
                 core::Fixed4::FromReal(0.5));
        {
            test::Loaded<frmMeta> w(f.program());
            test::leave(w, "cmdSair");
        }
        QCOMPARE(MessageBox::shown().size(), 0);
        QCOMPARE(closedFileBytes(f), before);
    }

    // Stored settings that break their rule are shown as the default and told once a run;
    // only the user's save writes over them.
    void badSettingsAreShownAsTheDefaultAndToldOnce() {
        Fixture f;
        f.db().execute("ALTER TABLE Parametro ADD COLUMN Exigencia REAL DEFAULT 'alta'");
        f.db().execute("ALTER TABLE Fatores ADD COLUMN Peso INTEGER DEFAULT 1");
        f.db().update("Fatores", 3, {{"Peso", 2.5}});
        const QByteArray before = closedFileBytes(f);
        f.reopen();
        for (int opening = 0; opening < 2; ++opening) {
            test::Loaded<frmMeta> w(f.program());
            QCOMPARE(level(w)->value(), 0.5);
            QCOMPARE(weight(w, 3)->value(), 1);
        }
        readDecisionSettings(nullptr, f.program());
        QCOMPARE(MessageBox::shown().size(), 1);
        const QString told = MessageBox::shown().first().text;
        for (const QString& part : {f.program().dataFilePath(), QString("alta"), QString("2.5")})
            QVERIFY2(told.contains(part), qPrintable(told));
        QCOMPARE(closedFileBytes(f), before);

        f.reopen();
        {
            test::Loaded<frmMeta> w(f.program());
            test::leave(w, "cmdSair");
        }
        f.reopen();
        QCOMPARE(f.db().firstRow("Parametro", {"Exigencia"}).value("Exigencia"), store::Value(0.5));
        QCOMPARE(f.db().rowByKey("Fatores", {"Peso"}, 3)->value("Peso"), store::Value(1));
    }

    void aFailingSaveWritesNothingAndAsksWhetherToClose_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("close");
        const char* refuse =
            "CREATE TRIGGER refuse BEFORE UPDATE ON Fatores "
            "WHEN NEW.Id = 1 BEGIN SELECT RAISE(ABORT, 'Fatores bloqueada'); END";
        const char* rowGone = "DELETE FROM Fatores WHERE Id >= 8";
        QTest::newRow("Fatores row gone") << rowGone << "cmdFatores" << false;
        QTest::newRow("Cadastro row gone") << "DELETE FROM Cadastro"
                                           << "cmdFatores" << false;
        QTest::newRow("Fatores refuses") << refuse << "cmdFatores" << false;
        QTest::newRow("Fatores refuses, return button") << refuse << "cmdSair" << false;
        QTest::newRow("Fatores row gone, Escape") << rowGone << "Escape" << false;
        QTest::newRow("Fatores refuses, title bar") << refuse << "close" << false;
        QTest::newRow("closed without saving, opinions button") << refuse << "cmdFatores" << true;
        QTest::newRow("closed without saving, Escape") << refuse << "Escape" << true;
        QTest::newRow("closed without saving, title bar") << rowGone << "close" << true;
    }
    void aFailingSaveWritesNothingAndAsksWhetherToClose() {
        QFETCH(QString, damage);
        QFETCH(QString, how);
        QFETCH(bool, close);
        Fixture f;
        test::fillWithData(f.db());
        test::Loaded<frmMeta> w(f.program());
        w.show();
        f.db().execute(damage.toStdString());
        const QStringList before = test::storeSnapshot(f.db());
        auto* lblFatores = child<QLineEdit>(w, "lblFatores");
        lblFatores->clear();
        QTest::keyClicks(lblFatores, "2");
        QTest::keyClicks(title(w, 1), " novo");
        QTest::keyClick(level(w), Qt::Key_Up);
        QTest::keyClick(weight(w, 2), Qt::Key_Up);
        if (close) MessageBox::queueAnswer(MessageBox::Answer::Yes);
        test::leave(w, how);
        test::verifyOneError("Fechar sem salvar?");
        QCOMPARE(w.isVisible(), !close);
        QCOMPARE(f.program().gProximaJanela, NextWindow::None);
        QCOMPARE(title(w, 1)->text(), "Fator n1 novo");
        f.reopen();
        QCOMPARE(test::storeSnapshot(f.db()), before);
        QVERIFY(!f.db().hasField("Parametro", "Exigencia") && !f.db().hasField("Fatores", "Peso"));
    }
};

QTEST_MAIN(MetaTest)
#include "test_meta.moc"
