#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "decision/decision.h"
#include "setup/frmCadastro.h"
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

const char* const kBoxes[] = {"txtQuestao", "txtP1", "txtP2", "txtP3", "txtP4",
                              "txtP5",      "txtP6", "txtP7", "txtP8"};

QStringList boxTexts(QWidget& w) {
    QStringList texts;
    for (const char* name : kBoxes) texts << child<QLineEdit>(w, name)->text();
    return texts;
}

const QStringList kFilledBoxes{"Abrir a filial?", "Ana", "Bruno", "Carla", "Davi", "Eva",
                               "Fábio",           "Gil", "Hugo"};

const QString kConfirmation =
    "Confirma que deseja apagar todas as informações (Cadastros, Fatores e Proposições) do "
    "banco de dados?";

}  // namespace

class CadastroTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { MessageBox::setTestMode(true); }

    // The question takes 80 characters: the 81st key and a paste that would pass them are
    // refused whole, and the count beside the box says so; a longer question stored before
    // is kept as it is.
    void theQuestionIsRefusedBeyondEightyCharacters() {
        Fixture f;
        const std::string stored(1 << 20, 'q');
        f.db().updateFirst("Cadastro", 1, {{"Questao", stored}});
        {
            test::Loaded<frmCadastro> w(f.program());
            QCOMPARE(child<QLineEdit>(w, "txtQuestao")->text().size(), 1 << 20);
            QTest::mouseClick(child<QPushButton>(w, "cmdSair"), Qt::LeftButton);
        }
        f.reopen();
        QCOMPARE(f.db().firstRow("Cadastro", {"Questao"}).text("Questao"), stored);

        f.db().updateFirst("Cadastro", 1, {{"Questao", ""}});
        test::Loaded<frmCadastro> w(f.program());
        auto* box = child<QLineEdit>(w, "txtQuestao");
        auto* count = child<QLabel>(w, "lblQuestaoConta");
        QTest::keyClicks(box, QString(79, 'a'));
        QCOMPARE(count->text(), "79/80");
        QCOMPARE(count->property("refused").toBool(), false);
        box->insert("bc");  // a paste of two
        QCOMPARE(box->text().size(), 79);
        QTRY_COMPARE(count->property("refused").toBool(), true);
        QTest::keyClicks(box, "bc");
        QCOMPARE(box->text(), QString(79, 'a') + "b");
        QTRY_COMPARE(count->text(), "80/80");
        QTRY_COMPARE(count->property("refused").toBool(), true);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(count->property("refused").toBool(), false);
    }

    void loadShowsTheRegistrationAndResetsTheNextWindowCode() {
        Fixture f;
        test::fillWithData(f.db());
        f.program().gProximaJanela = NextWindow::Likert;
        test::Loaded<frmCadastro> w(f.program());
        QCOMPARE(boxTexts(w), kFilledBoxes);
        QCOMPARE(f.program().gProximaJanela, NextWindow::None);
        QCOMPARE(f.program().gIdioma, Language::Portuguese);
        for (int i = 1; i <= store::kParticipants; ++i) {
            auto* box = child<QLineEdit>(w, qPrintable(QString("txtP%1").arg(i)));
            QCOMPARE(box->parentWidget(), child<QGroupBox>(w, "Frame1"));
        }
        for (const char* button : {"cmdClear", "cmdSair", "cmdFatores"})
            QVERIFY2(!child<QPushButton>(w, button)->icon().isNull(), button);
    }

    void captionsFollowTheStoredLanguage_data() {
        QTest::addColumn<int>("idioma");
        QTest::addColumn<QStringList>("captions");  // title, Label1, Label3, cmdClear, cmdFatores
        QTest::newRow("English") << 1
                                 << QStringList{"Registration",
                                                "Decide on:", "Participants:", "Clear all data",
                                                "Factors"};
        QTest::newRow("Spanish") << 2
                                 << QStringList{"Registro", "Decidir por:", "Participantes:",
                                                "Borrar todos los datos", "Factores"};
        const QStringList design{
            "Cadastro", "Decidir sobre:", "Equipe Velmar:", "&Apagar todos os dados", "&Fatores"};
        QTest::newRow("Portuguese") << 3 << design;
        QTest::newRow("unknown code") << 5 << design;
    }
    void captionsFollowTheStoredLanguage() {
        QFETCH(int, idioma);
        QFETCH(QStringList, captions);
        Fixture f;
        f.db().update("Parametro", 1, {{"Idioma", idioma}});
        test::Loaded<frmCadastro> w(f.program());
        QCOMPARE((QStringList{w.windowTitle(), child<QLabel>(w, "Label1")->text(),
                              child<QLabel>(w, "Label3")->text(),
                              child<QPushButton>(w, "cmdClear")->text(),
                              child<QPushButton>(w, "cmdFatores")->text()}),
                 captions);
        // The save button is never translated.
        QCOMPARE(child<QPushButton>(w, "cmdSair")->text(), "&Salvar/ Retornar");
        QCOMPARE(int(f.program().gIdioma), idioma == 5 ? 3 : idioma);
    }

    void saveAndReturnWritesTheEdits() {
        Fixture f;
        test::fillWithData(f.db());
        test::Loaded<frmCadastro> w(f.program());
        auto* questao = child<QLineEdit>(w, "txtQuestao");
        questao->clear();
        test::typeText(questao, "Comprar a máquina nova?");
        child<QLineEdit>(w, "txtP2")->clear();
        QTest::keyClicks(child<QLineEdit>(w, "txtP8"), " Jr.");
        QTest::mouseClick(child<QPushButton>(w, "cmdSair"), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(f.program().gProximaJanela, NextWindow::None);
        QCOMPARE(MessageBox::shown().size(), 0);

        f.reopen();
        const store::Row row = f.db().firstRow(
            "Cadastro",
            {"Questao", "Participante1", "Participante2", "Participante8", "Depto", "nFatores"});
        QCOMPARE(row.text("Questao"), "Comprar a máquina nova?");
        QCOMPARE(row.text("Participante1"), "Ana");
        QCOMPARE(row.value("Participante2"), store::Value(""));
        QCOMPARE(row.text("Participante8"), "Hugo Jr.");
        QCOMPARE(row.text("Depto"), "Vendas");
        QCOMPARE(row.value("nFatores"), store::Value(6));
    }

    void factorsButtonSavesAndAsksForTheFactorsWindow() {
        Fixture f;
        test::Loaded<frmCadastro> w(f.program());
        test::typeText(child<QLineEdit>(w, "txtP4"), "Zé");
        QTest::mouseClick(child<QPushButton>(w, "cmdFatores"), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(f.program().gProximaJanela, NextWindow::Factors);
        f.reopen();
        QCOMPARE(f.db().firstRow("Cadastro", {"Participante4"}).text("Participante4"), "Zé");
    }

    void closingByEscapeOrTheTitleBarSavesLikeReturn_data() { test::addEscapeAndTitleBar(); }
    void closingByEscapeOrTheTitleBarSavesLikeReturn() {
        QFETCH(QString, how);
        Fixture f;
        test::fillWithData(f.db());
        QStringList expected = test::storeSnapshot(f.db());
        expected.replaceInStrings("Abrir a filial?", "Abrir a filial? e a outra?")
            .replaceInStrings("| Ana |", "| Ana Rita |");
        test::Loaded<frmCadastro> w(f.program());
        w.show();
        QTest::keyClicks(child<QLineEdit>(w, "txtQuestao"), " e a outra?");
        QTest::keyClicks(child<QLineEdit>(w, "txtP1"), " Rita");
        test::leave(w, how);
        QVERIFY(!w.isVisible());
        QCOMPARE(f.program().gProximaJanela,
                 NextWindow::None);  // the factors window does not follow
        QCOMPARE(MessageBox::shown().size(), 0);
        f.reopen();
        QCOMPARE(test::storeSnapshot(f.db()), expected);
    }

    void returnInATextBoxDoesNotCloseTheWindow() {
        Fixture f;
        test::Loaded<frmCadastro> w(f.program());
        w.show();
        QTest::keyClicks(child<QLineEdit>(w, "txtQuestao"), "Pergunta");
        QTest::keyClick(child<QLineEdit>(w, "txtQuestao"), Qt::Key_Return);
        QVERIFY(w.isVisible());
        QCOMPARE(MessageBox::shown().size(), 0);  // not even the clear-all question
        f.reopen();
        QCOMPARE(f.db().firstRow("Cadastro", {"Questao"}).text("Questao"), "");
    }

    void lengthLimitsHoldForTypingAndPasting() {
        Fixture f;
        test::Loaded<frmCadastro> w(f.program());
        auto* questao = child<QLineEdit>(w, "txtQuestao");
        QTest::keyClicks(questao, QString(85, 'q'));
        QCOMPARE(questao->text(), QString(80, 'q'));

        auto* p3 = child<QLineEdit>(w, "txtP3");
        QTest::keyClicks(p3, QString(61, 'n'));
        QCOMPARE(p3->text().size(), 60);

        // A paste or an insertion beyond the limit is refused whole, never cut.
        auto* p5 = child<QLineEdit>(w, "txtP5");
        QApplication::clipboard()->setText(QString(70, 'c'));
        p5->paste();
        QCOMPARE(p5->text(), QString());
        QApplication::clipboard()->setText(QString(60, 'c'));
        p5->paste();
        QCOMPARE(p5->text(), QString(60, 'c'));
        auto* p6 = child<QLineEdit>(w, "txtP6");
        p6->insert(QString(64, 'i'));
        QCOMPARE(p6->text(), QString());

        QTest::mouseClick(child<QPushButton>(w, "cmdSair"), Qt::LeftButton);
        f.reopen();
        const store::Row row =
            f.db().firstRow("Cadastro", {"Questao", "Participante3", "Participante5"});
        QCOMPARE(row.text("Questao"), std::string(80, 'q'));
        QCOMPARE(row.text("Participante3"), std::string(60, 'n'));
        QCOMPARE(row.text("Participante5"), std::string(60, 'c'));
    }

    void clearAllAsksFirstAndNoChangesNothing() {
        Fixture f;
        test::fillWithData(f.db());
        const QStringList before = test::storeSnapshot(f.db());
        test::Loaded<frmCadastro> w(f.program());
        MessageBox::queueAnswer(MessageBox::Answer::No);
        QTest::mouseClick(child<QPushButton>(w, "cmdClear"), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 1);
        const MessageBox::Shown box = MessageBox::shown().first();
        QCOMPARE(box.text, kConfirmation);
        QCOMPARE(box.title, "ATENÇÃO!");
        QCOMPARE(box.icon, MessageBox::Icon::None);
        QCOMPARE(box.buttons, MessageBox::Buttons::YesNo);
        QCOMPARE(boxTexts(w), kFilledBoxes);
        f.reopen();
        QCOMPARE(test::storeSnapshot(f.db()), before);
    }

    void clearAllYesEmptiesTheProblemAndKeepsTheRest() {
        Fixture f;
        test::fillWithData(f.db());
        const QStringList before = test::storeSnapshot(f.db());
        test::Loaded<frmCadastro> w(f.program());
        w.show();
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        QTest::mouseClick(child<QPushButton>(w, "cmdClear"), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 1);  // no message after clearing
        QCOMPARE(boxTexts(w), QStringList(9, QString()));
        QVERIFY(w.isVisible());  // the window stays open

        f.reopen();
        store::Database& db = f.db();
        std::vector<std::string> cadastroFields{"Questao", "Depto"};
        for (int i = 1; i <= store::kParticipants; ++i)
            cadastroFields.push_back(store::participantField(i));
        const store::Row cadastro = db.firstRow("Cadastro", cadastroFields);
        for (const auto& field : cadastroFields) QCOMPARE(cadastro.value(field), store::Value(""));
        QCOMPARE(db.firstRow("Cadastro", {"nFatores"}).value("nFatores"), store::Value(6));

        // Every Fatores row, the ninth included.
        const auto fatores = db.firstRows("Fatores", {"Fator", "Prop", "Mi1", "Mi2"}, 9);
        for (const store::Row& r : fatores) {
            QCOMPARE(r.value("Fator"), store::Value(""));
            QCOMPARE(r.value("Prop"), store::Value(""));
            QCOMPARE(r.number("Mi1"), 0.0);
            QCOMPARE(r.number("Mi2"), 0.0);
        }
        for (int k = 1; k <= store::kFactorSlots; ++k) {
            const auto rows = db.firstRows(store::propositionTable(k),
                                           {"Proposicao", "N01", "N02", "N03", "N04", "N05"},
                                           store::kPropositionRows);
            for (const store::Row& r : rows) {
                QCOMPARE(r.value("Proposicao"), store::Value(""));
                for (int j = 1; j <= store::kLikertPoints; ++j)
                    QCOMPARE(r.value(store::likertField(j)), store::Value(0));
            }
        }
        const auto hundredth = db.rowByKey("Prop3", {"Proposicao", "N01", "N05"}, 100);
        QVERIFY(hundredth);
        QCOMPARE(hundredth->text("Proposicao"), "centésima");
        QCOMPARE(hundredth->value("N05"), store::Value(7));

        // Parametro and PLikert are exactly as they were.
        const QStringList after = test::storeSnapshot(db);
        for (const char* kept : {"Parametro ", "PLikert "}) {
            QCOMPARE(after.filter(QRegularExpression(QString("^") + kept)),
                     before.filter(QRegularExpression(QString("^") + kept)));
        }

        // A later save writes the now empty boxes.
        QTest::mouseClick(child<QPushButton>(w, "cmdSair"), Qt::LeftButton);
        f.reopen();
        QCOMPARE(f.db().firstRow("Cadastro", {"Questao"}).value("Questao"), store::Value(""));
    }

    void clearAllFailingHalfWayChangesNothing_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("Prop6 row 50 deleted") << "DELETE FROM Prop6 WHERE Id = 50"
                                              << "Prop6 tem menos de 99 linhas";
        QTest::newRow("Prop7 dropped") << "DROP TABLE Prop7"
                                       << "no such table: Prop7";
        // The very last table refuses the write, after all the others were cleared.
        QTest::newRow("Prop8 refuses") << "CREATE TRIGGER refuse BEFORE UPDATE ON Prop8 "
                                          "BEGIN SELECT RAISE(ABORT, 'Prop8 bloqueada'); END"
                                       << "Prop8 bloqueada";
        QTest::newRow("Fatores dropped") << "DROP TABLE Fatores"
                                         << "no such table: Fatores";
    }
    void clearAllFailingHalfWayChangesNothing() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        Fixture f;
        test::fillWithData(f.db());
        test::Loaded<frmCadastro> w(f.program());
        f.db().execute(damage.toStdString());
        const QStringList before = test::storeSnapshot(f.db());
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        QTest::mouseClick(child<QPushButton>(w, "cmdClear"), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 2);
        const MessageBox::Shown error = MessageBox::shown().at(1);
        QCOMPARE(error.title, "Erro");
        QCOMPARE(error.icon, MessageBox::Icon::Critical);
        QVERIFY2(error.text.contains(message), qPrintable(error.text));
        QCOMPARE(boxTexts(w), kFilledBoxes);
        f.reopen();
        QCOMPARE(test::storeSnapshot(f.db()), before);
        QVERIFY(!f.db().inTransaction());
    }

    void loadFailuresShowAMessageAndNoWindow_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("Cadastro without rows") << "DELETE FROM Cadastro"
                                               << "Cadastro tem 0 linhas";
        QTest::newRow("no Cadastro") << "DROP TABLE Cadastro"
                                     << "no such table: Cadastro";
        QTest::newRow("no Parametro") << "DROP TABLE Parametro"
                                      << "no such table: Parametro";
    }
    void loadFailuresShowAMessageAndNoWindow() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        Fixture f;
        f.db().execute(damage.toStdString());
        test::verifyOpensOnlyAnError<frmCadastro>(f.program(), message);
    }

    void nullTextsReadAsEmptyAndAreSavedEmpty() {
        Fixture f;
        test::fillWithData(f.db());
        f.db().execute("UPDATE Cadastro SET Questao = NULL, Participante7 = NULL");
        test::Loaded<frmCadastro> w(f.program());
        QStringList expected = kFilledBoxes;
        expected[0] = expected[7] = "";
        QCOMPARE(boxTexts(w), expected);
        QCOMPARE(MessageBox::shown().size(), 0);
        QTest::mouseClick(child<QPushButton>(w, "cmdSair"), Qt::LeftButton);
        f.reopen();
        const store::Row row = f.db().firstRow("Cadastro", {"Questao", "Participante7"});
        QCOMPARE(row.value("Questao"), store::Value(""));
        QCOMPARE(row.value("Participante7"), store::Value(""));
    }

    void withoutADatabaseTheWindowSaysSo() {
        Fixture f;
        f.program().dbBanco.reset();
        openModal<frmCadastro>(f.program(), nullptr);
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.contains("não está aberto"));
    }

    void aFailingSaveAsksWhetherToCloseWithoutSaving_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("close");
        for (const char* how : {"cmdFatores", "cmdSair", "Escape", "close"}) {
            QTest::addRow("%s, stay", how) << how << false;
            QTest::addRow("%s, close without saving", how) << how << true;
        }
    }
    void aFailingSaveAsksWhetherToCloseWithoutSaving() {
        QFETCH(QString, how);
        QFETCH(bool, close);
        Fixture f;
        test::Loaded<frmCadastro> w(f.program());
        w.show();
        test::typeText(child<QLineEdit>(w, "txtQuestao"), "Texto a não perder");
        f.db().execute("DELETE FROM Cadastro");
        if (close) MessageBox::queueAnswer(MessageBox::Answer::Yes);
        test::leave(w, how);
        test::verifyOneError("Fechar sem salvar?");
        QCOMPARE(MessageBox::shown().first().buttons, MessageBox::Buttons::YesNo);
        QCOMPARE(f.program().gProximaJanela,
                 NextWindow::None);  // the factors window does not follow
        if (close) {
            QVERIFY(!w.isVisible());
            return;
        }
        QVERIFY(w.isVisible());
        QCOMPARE(child<QLineEdit>(w, "txtQuestao")->text(), "Texto a não perder");

        // Once the row is back, the same way out saves and closes.
        f.db().execute("INSERT INTO Cadastro (Id) VALUES (1)");
        test::leave(w, how);
        QVERIFY(!w.isVisible());
        QCOMPARE(f.db().firstRow("Cadastro", {"Questao"}).text("Questao"), "Texto a não perder");
    }

    void clearAllConfirmationDefaultsToNoInTheInterfaceLanguage_data() {
        QTest::addColumn<int>("idioma");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("Portuguese") << 3 << QStringList{"Sim", "Não"};
        QTest::newRow("unknown code") << 5 << QStringList{"Sim", "Não"};
        QTest::newRow("Spanish") << 2 << QStringList{"Sí", "No"};
        QTest::newRow("English") << 1 << QStringList{"Yes", "No"};
    }
    void clearAllConfirmationDefaultsToNoInTheInterfaceLanguage() {
        QFETCH(int, idioma);
        QFETCH(QStringList, buttons);
        Fixture f;
        f.db().update("Parametro", 1, {{"Idioma", idioma}});
        test::Loaded<frmCadastro> w(f.program());
        QTest::mouseClick(child<QPushButton>(w, "cmdClear"), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().defaultAnswer, MessageBox::Answer::No);
        QCOMPARE(MessageBox::shown().first().buttonTexts, buttons);
    }

    void enterOnTheRealConfirmationErasesNothing() {
        Fixture f;
        test::fillWithData(f.db());
        const QStringList before = test::storeSnapshot(f.db());
        test::Loaded<frmCadastro> w(f.program());
        w.show();
        MessageBox::setTestMode(false);
        QString asked;
        test::whenModal([&](QWidget& box) {
            asked = box.windowTitle();
            QTest::keyClick(&box, Qt::Key_Return);
        });
        QTest::mouseClick(child<QPushButton>(w, "cmdClear"), Qt::LeftButton);
        MessageBox::setTestMode(true);
        QCOMPARE(asked, "ATENÇÃO!");
        QCOMPARE(boxTexts(w), kFilledBoxes);
        f.reopen();
        QCOMPARE(test::storeSnapshot(f.db()), before);
    }

    void clearAllRewritesOnlyRowsWithSomethingToClear_data() {
        QTest::addColumn<QString>("filling");
        QTest::addColumn<QStringList>("rewritten");
        QTest::newRow("nothing typed") << "" << QStringList{};
        QTest::newRow("one participant")
            << "UPDATE Cadastro SET Participante8 = 'Hugo'" << QStringList{"Cadastro 1"};
        QTest::newRow("one degree")
            << "UPDATE Fatores SET Mi2 = 0.25 WHERE Id = 3" << QStringList{"Fatores 3"};
        QTest::newRow("NULL title")
            << "UPDATE Fatores SET Fator = NULL WHERE Id = 6" << QStringList{"Fatores 6"};
        QTest::newRow("one count")
            << "UPDATE Prop5 SET N03 = 2 WHERE Id = 40" << QStringList{"Prop5 40"};
        QTest::newRow("last proposition")
            << "UPDATE Prop8 SET Proposicao = 'x' WHERE Id = 99" << QStringList{"Prop8 99"};
    }
    void clearAllRewritesOnlyRowsWithSomethingToClear() {
        QFETCH(QString, filling);
        QFETCH(QStringList, rewritten);
        Fixture f;
        store::Database& db = f.db();
        const QStringList delivered = test::storeSnapshot(db);
        if (!filling.isEmpty()) db.execute(filling.toStdString());
        db.execute("CREATE TABLE Rewritten (Id INTEGER PRIMARY KEY, Entry TEXT)");
        QStringList tables{"Cadastro", "Fatores"};
        for (int k = 1; k <= store::kFactorSlots; ++k)
            tables << QString::fromStdString(store::propositionTable(k));
        for (const QString& t : tables)
            db.execute(QString("CREATE TRIGGER log%1 AFTER UPDATE ON %1 BEGIN INSERT INTO "
                               "Rewritten (Entry) VALUES ('%1 ' || NEW.Id); END")
                           .arg(t)
                           .toStdString());
        decision::ClearDecision(db);
        QStringList written;
        for (const store::Row& r : db.firstRowsUpTo("Rewritten", {"Entry"}, 1000))
            written << QString::fromStdString(r.text("Entry"));
        QCOMPARE(written, rewritten);
        QCOMPARE(test::storeSnapshot(db), delivered);
    }
};

QTEST_MAIN(CadastroTest)
#include "test_cadastro.moc"
