#include <sys/stat.h>
#include <unistd.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "core/number_text.h"
#include "decision/decision.h"
#include "likert/frmTabela.h"
#include "likert/import_preview.h"
#include "shell/file_dialog.h"
#include "shell/flex_grid.h"
#include "shell/import_map.h"
#include "shell/message_box.h"
#include "store/schema.h"
#include "tests/support/test_support.h"
#include "tests/support/window_checks.h"

using namespace vpl;
using vpl::test::child;
using vpl::test::Fixture;

namespace {

constexpr int kFirstRow = 2;  // the grid's first proposition row

// Every stored field of factor 1 and of its propositions, to tell whether anything changed.
QStringList storedFactor(Fixture& f) {
    f.reopen();
    QStringList all;
    const auto add = [&](const store::Row& row, const std::vector<std::string>& fields) {
        for (const std::string& field : fields)
            all << QString::fromStdString(row.value(field).toText().value_or("NULL"));
    };
    add(*f.db().rowByKey("Fatores", {"Prop", "Mi1", "Mi2"}, 1), {"Prop", "Mi1", "Mi2"});
    std::vector<std::string> fields{"Proposicao"};
    for (int j = 1; j <= store::kLikertPoints; ++j) fields.push_back(store::likertField(j));
    for (const store::Row& row :
         f.db().firstRows(store::propositionTable(1), fields, store::kPropositionRows))
        add(row, fields);
    return all;
}

// Writes `bytes` to a file of the fixture's folder and lets the next file dialog choose it.
void chooseFile(Fixture& f, const QByteArray& bytes) {
    const QString path = f.dir() + "/answers.csv";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("no file");
    FileDialog::setFake([path](const QString&) { return path; });
}

// The Likert window with factor 1 shown, which holds four answered propositions.
struct Window {
    explicit Window(Fixture& f) : window(f.program()) {
        f.db().update("Fatores", 1, {{"Prop", "4"}});
        for (int key = 1; key <= 4; ++key)
            f.db().update(store::propositionTable(1), key,
                          {{"Proposicao", "Antiga " + std::to_string(key)}, {"N01", key}});
        window.Form_Load();
        window.show();
        auto& combo = *child<QComboBox>(window, "cmbFator");
        combo.setCurrentIndex(0);
        emit combo.activated(0);
    }
    // Presses import; the preview, when one comes up, is answered by `button`.
    // When no preview comes up, the waiting answer outlives this call: it must then do nothing
    // to a later test's dialog.
    QStringList importWith(const char* button) {
        const auto preview = std::make_shared<QStringList>();
        const auto waiting = std::make_shared<bool>(true);
        test::whenModal([preview, waiting, button](QWidget& dialog) {
            if (!*waiting) return;
            for (QListWidgetItem* item :
                 child<QListWidget>(dialog, "lstNaoLidas")->findItems("*", Qt::MatchWildcard))
                *preview << item->text();
            *preview << QString::number(child<QTableWidget>(dialog, "grdPrevia")->rowCount());
            child<QPushButton>(dialog, button)->click();
        });
        child<QPushButton>(window, "cmdImportar")->click();
        *waiting = false;
        return *preview;
    }
    FlexGrid& grid() { return *child<FlexGrid>(window, "MSFlexGrid1"); }
    QString label(const char* name) { return child<QLabel>(window, name)->text(); }

    frmTabela window;
};

const QByteArray kSemicolonCounts =
    "Proposi\xE7\xE3o;DT;D;I;C;CT\r\n\"Pre\xE7o; prazo\";1;2;3;4;5\r\nAtendimento;0;x;0;6;2\r\n";

}  // namespace

class ImportTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }
    void cleanup() { FileDialog::clearFake(); }

    // Ctrl+Z after an import puts every stored row of the factor back, in one step.
    void undoPutsBackWhatTheImportReplaced() {
        Fixture f;
        Window w(f);
        const QStringList before = storedFactor(f);
        chooseFile(f, kSemicolonCounts);
        w.importWith("cmdImportar");
        QVERIFY(storedFactor(f) != before);
        QTest::keyClick(&w.grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(storedFactor(f), before);
        QCOMPARE(w.grid().rows(), 2 + 4 + 1);
        QCOMPARE(w.grid().textAt(kFirstRow + 3, 0), "Antiga 4");
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void anAcceptedPreviewIsWhatTheGridAndTheFileHold_data() {
        QTest::addColumn<char>("separator");
        QTest::newRow("decimal point") << '.';
        QTest::newRow("decimal comma") << ',';
    }
    void anAcceptedPreviewIsWhatTheGridAndTheFileHold() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        Window w(f);
        chooseFile(f, kSemicolonCounts);

        const QStringList preview = w.importWith("cmdImportar");
        QCOMPARE(preview.size(), 2);  // the one cell not understood, and the two rows
        QVERIFY2(preview[0].contains("3") && preview[0].contains("\"x\""), qPrintable(preview[0]));
        QCOMPARE(preview[1], "2");
        QVERIFY(MessageBox::shown().isEmpty());

        QCOMPARE(w.grid().rows(), 2 + 2 + 1);
        QCOMPARE(w.grid().textAt(kFirstRow, 0), QString::fromUtf8("Preço; prazo"));
        QCOMPARE(w.grid().textAt(kFirstRow + 1, 2), "00");
        QCOMPARE(w.grid().textAt(kFirstRow + 1, 4), "06");
        // 23 answers, 17 favourable and 3 contrary: the window's and the file's degrees agree.
        QCOMPARE(w.label("lblTotal"), "23");
        const QStringList stored = storedFactor(f);
        QCOMPARE(stored.mid(0, 3), (QStringList{"2", "0.7391", "0.1304"}));
        QCOMPARE(core::ParseLocaleNumber(w.label("lblMi1").toStdString(), {separator}), 0.7391);
        QCOMPARE(core::ParseLocaleNumber(w.label("lblMi2").toStdString(), {separator}), 0.1304);
        QCOMPARE(stored.mid(3, 12),
                 (QStringList{QString::fromUtf8("Preço; prazo"), "1", "2", "3", "4", "5",
                              "Atendimento", "0", "0", "0", "6", "2"}));
        QCOMPARE(stored.mid(15, 6), (QStringList{"", "0", "0", "0", "0", "0"}));  // old row 3
    }

    void nothingChangesWhenTheImportDoesNotHappen_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled") << kSemicolonCounts << ""
                                   << "cmdCancelar"
                                   << "";
        QTest::newRow("the store fails half-way")
            << kSemicolonCounts
            << "CREATE TRIGGER lock BEFORE UPDATE ON Prop1 WHEN NEW.Id = 50 "
               "BEGIN SELECT RAISE(ABORT, 'bloqueado'); END"
            << "cmdImportar"
            << "bloqueado";
        QByteArray hundred = "P,DT,D,I,C,CT\n";
        for (int i = 1; i <= 100; ++i) hundred += "P" + QByteArray::number(i) + ",1,0,0,0,0\n";
        QTest::newRow("too many propositions") << hundred << ""
                                               << ""
                                               << "100";
        QTest::newRow("no propositions") << QByteArray("Q1,Q2\n") << ""
                                         << ""
                                         << "";
        QTest::newRow("every factor's export")
            << QByteArray("Fator,Proposi\xE7\xE3o,DT,D,I,C,CT\r\n1,A,1,2,3,4,5\r\n") << ""
            << ""
            << "\"Fator\"";
    }
    void nothingChangesWhenTheImportDoesNotHappen() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, trigger);
        QFETCH(QString, button);
        QFETCH(QString, message);
        Fixture f;
        Window w(f);
        const QStringList before = storedFactor(f);
        const QString firstText = w.grid().textAt(kFirstRow, 0);
        if (!trigger.isEmpty()) f.db().execute(trigger.toStdString());
        chooseFile(f, bytes);

        const QStringList preview = w.importWith(qPrintable(button));
        QCOMPARE(preview.isEmpty(), button.isEmpty());  // a refused file shows no preview
        QCOMPARE(MessageBox::shown().size(), button == "cmdCancelar" ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(MessageBox::shown().first().text.contains(message),
                     qPrintable(MessageBox::shown().first().text));
        QCOMPARE(storedFactor(f), before);
        QCOMPARE(w.grid().textAt(kFirstRow, 0), firstText);
    }

    // Only a regular file is read: a FIFO without a writer, a device without end or a folder is
    // refused at once, and nothing is stored.
    void filesThatAreNoSurveyAreRefusedAtOnce_data() {
        QTest::addColumn<QString>("file");  // FIFO and FOLDER stand for the test's own
        QTest::newRow("a device") << "/dev/zero";
        QTest::newRow("a FIFO") << "FIFO";
        QTest::newRow("a folder") << "FOLDER";
    }
    void filesThatAreNoSurveyAreRefusedAtOnce() {
        QFETCH(QString, file);
        Fixture f;
        Window w(f);
        const QStringList before = storedFactor(f);
        if (file == "FIFO") {
            file = f.dir() + "/fifo.csv";
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        } else if (file == "FOLDER") {
            file = f.dir() + "/folder.csv";
            QVERIFY(QDir().mkdir(file));
        }
        FileDialog::setFake([file](const QString&) { return file; });
        ::alarm(30);  // a read that blocks ends the run instead of hanging it
        const QStringList preview = w.importWith("cmdImportar");
        ::alarm(0);
        QVERIFY(preview.isEmpty());
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().icon, MessageBox::Icon::Warning);
        QVERIFY2(MessageBox::shown().first().text.contains(QDir::toNativeSeparators(file)),
                 qPrintable(MessageBox::shown().first().text));
        QCOMPARE(storedFactor(f), before);
    }

    // A workbook that cannot be read is refused with its reason, worded in the interface's
    // language, before any preview; nothing is stored.
    void workbooksThatCannotBeReadSayWhy_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        const ImportTexts& t = importTexts(core::Language::Portuguese);
        QByteArray ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        ole.append(QByteArray(504, '\0'));
        QByteArray encrypted = ole;
        for (const char c : QByteArray("EncryptedPackage")) encrypted.append(c).append('\0');
        QTest::newRow("protected") << encrypted << QString::fromUtf8(t.workbookProtected);
        QTest::newRow("old Excel") << ole << QString::fromUtf8(t.workbookOld);
        QTest::newRow("no zip") << QByteArray("P,DT\r\nA,1\r\n") << QString::fromUtf8(t.workbookNotZip);
    }
    void workbooksThatCannotBeReadSayWhy() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        Fixture f;
        Window w(f);
        const QStringList before = storedFactor(f);
        const QString path = f.dir() + "/respostas.xlsx";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        FileDialog::setFake([path](const QString&) { return path; });
        QVERIFY(w.importWith("cmdImportar").isEmpty());
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text, says);
        QCOMPARE(storedFactor(f), before);
    }

    // A file of many cells not understood: the preview lists the first ones and says, in the
    // interface's language, how many more there are; the label counts them all.
    void aLongListOfCellsNotUnderstoodSaysHowManyMore_data() {
        QTest::addColumn<int>("idioma");
        QTest::addColumn<QString>("more");
        QTest::newRow("English") << 1 << QString::fromUtf8("\u2026 and 500 more");
        QTest::newRow("Spanish") << 2 << QString::fromUtf8("\u2026 y 500 m\u00e1s");
        QTest::newRow("Portuguese") << 3 << QString::fromUtf8("\u2026 e mais 500");
    }
    void aLongListOfCellsNotUnderstoodSaysHowManyMore() {
        QFETCH(int, idioma);
        QFETCH(QString, more);
        Fixture f;
        f.db().execute("UPDATE Parametro SET Idioma = " + std::to_string(idioma));
        Window w(f);
        QByteArray bytes = "Q1,Q2\n";
        for (int r = 0; r < 1500; ++r) bytes += "talvez,5\n4,5\n";
        chooseFile(f, bytes);
        QString label;
        test::whenModal(
            [&](QWidget& dialog) { label = child<QLabel>(dialog, "lblNaoLidas")->text(); });
        const QStringList preview = w.importWith("cmdCancelar");
        QCOMPARE(preview.size(), int(core::kUnreadListed) + 2);  // the cells, how many more, rows
        QVERIFY2(preview[0].contains("2") && preview[0].contains("\"talvez\""),
                 qPrintable(preview[0]));
        QCOMPARE(preview[int(core::kUnreadListed)], more);
        QVERIFY2(label.contains("1500"), qPrintable(label));
    }

    // Respondents' rows whose columns are all a tool's own fields or no answers: the preview
    // tells why of every column and cannot import.
    void aFileWithoutStatementsShowsWhyAndImportsNothing() {
        Fixture f;
        Window w(f);
        const QStringList before = storedFactor(f);
        chooseFile(f, "id,lastpage,E-mail,Coment\xE1rio\n1,2,a@x.org,bom\n2,1,b@x.org,ruim\n");
        bool enabled = true, tableShown = true;
        QString warning;
        QStringList lines;
        test::whenModal([&](QWidget& dialog) {
            enabled = child<QPushButton>(dialog, "cmdImportar")->isEnabled();
            tableShown = child<QTableWidget>(dialog, "grdPrevia")->isVisible();
            warning = child<QLabel>(dialog, "lblAviso")->text();
            for (QListWidgetItem* item :
                 child<QListWidget>(dialog, "lstNaoLidas")->findItems("*", Qt::MatchWildcard))
                lines << item->text();
            child<QPushButton>(dialog, "cmdCancelar")->click();
        });
        child<QPushButton>(w.window, "cmdImportar")->click();

        QVERIFY(!enabled);
        QVERIFY(!tableShown);
        QCOMPARE(warning, QString::fromUtf8(importTexts(f.program().gIdioma).nothingToImport));
        const QStringList headings{"id", "lastpage", "E-mail", QString::fromUtf8("Comentário")};
        QCOMPARE(lines.size(), headings.size());
        for (int c = 0; c < headings.size(); ++c)
            QVERIFY2(lines[c].contains("\"" + headings[c] + "\""), qPrintable(lines[c]));
        // The why, without the column's number and heading: one for the tool's fields, another
        // for the comments.
        const auto why = [&](int c) {
            return QString(lines[c])
                .remove("\"" + headings[c] + "\"")
                .remove(QString::number(c + 1));
        };
        QCOMPARE(why(1), why(0));
        QCOMPARE(why(2), why(0));
        QVERIFY(why(3) != why(0));
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(storedFactor(f), before);
    }

    // Codes without a plain order are asked for: nothing can be imported until each has a
    // point, and the points chosen are counted; the next import of the same survey starts
    // from them.
    void answerCodesAreAskedThenRemembered() {
        Fixture f;
        Window w(f);
        chooseFile(f, "P1,P2\r\nA1,A2\r\nA2,A4\r\nA4,A4\r\n");
        const QString survey = f.dir() + "/answers.csv", map = f.dir() + "/mapa.json";
        FileDialog::setFake([&](const QString& proposed) {
            return proposed.endsWith(".json") ? map : survey;
        });
        bool enabledBefore = true, enabledAfter = false;
        int codes = 0, listed = -1;
        test::whenModal([&](QWidget& dialog) {
            codes = child<QTableWidget>(dialog, "grdCodigos")->rowCount();
            listed = child<QListWidget>(dialog, "lstNaoLidas")->count();
            enabledBefore = child<QPushButton>(dialog, "cmdImportar")->isEnabled();
            child<QComboBox>(dialog, "cmbPonto0")->setCurrentIndex(1);  // A1: DT
            child<QComboBox>(dialog, "cmbPonto1")->setCurrentIndex(3);  // A2: I
            child<QComboBox>(dialog, "cmbPonto2")->setCurrentIndex(6);  // A4: no answer
            enabledAfter = child<QPushButton>(dialog, "cmdImportar")->isEnabled();
            child<QPushButton>(dialog, "cmdSalvarMapa")->click();
            child<QPushButton>(dialog, "cmdImportar")->click();
        });
        child<QPushButton>(w.window, "cmdImportar")->click();
        QCOMPARE(codes, 3);
        QCOMPARE(listed, 0);  // the coded columns are neither skipped nor cells not understood
        QVERIFY(!enabledBefore);
        QVERIFY(enabledAfter);
        const auto rows = decision::ReadPropositions(f.db(), 1, 2);
        QCOMPARE(rows[0].counts(), (core::Counts{1, 0, 1, 0, 0}));
        QCOMPARE(rows[1].counts(), (core::Counts{0, 0, 1, 0, 0}));
        // The saved map holds the points chosen, as the command line reads them.
        const core::ImportChoices saved = ImportChoicesOf(ReadImportMap(map), core::ReadSurveyExport(
            QFile::encodeName(survey).toStdString()));
        QCOMPARE(saved.codes, (core::CodeMap{{"A1", 1}, {"A2", 3}, {"A4", core::kNoAnswer}}));

        bool remembered = false;
        test::whenModal([&](QWidget& dialog) {
            remembered = child<QPushButton>(dialog, "cmdImportar")->isEnabled() &&
                         child<QComboBox>(dialog, "cmbPonto1")->currentIndex() == 3;
            child<QPushButton>(dialog, "cmdCancelar")->click();
        });
        child<QPushButton>(w.window, "cmdImportar")->click();
        QVERIFY(remembered);
    }

    // One survey into three factors: the preview shows a reversed proposition's counts as
    // they will be stored, and a factor that holds data is replaced only when the user says so.
    void oneSurveyFillsSeveralFactors() {
        Fixture f;
        Window w(f);
        f.db().update(store::propositionTable(3), 1, {{"Proposicao", "Guardada"}});
        const QStringList before = storedFactor(f);
        const store::Value titleOne = decision::ReadFactor(f.db(), 1).title;
        chooseFile(f, "Timestamp,Custo [Barato],Custo [Caro],Prazo [Curto],Outro\r\n"
                      "2026/11/02 9:14,Concordo,Concordo,Discordo,1\r\n"
                      "2026/11/02 9:15,Concordo totalmente,Discordo totalmente,Discordo,2\r\n");
        QStringList shownCounts;
        const auto answer = [&](bool import) {
            test::whenModal([&, import](QWidget& dialog) {
                auto& grid = *child<QTableWidget>(dialog, "grdPrevia");
                child<QComboBox>(dialog, "cmbFator1")->setCurrentIndex(2);
                child<QComboBox>(dialog, "cmbFator2")->setCurrentIndex(3);
                child<QComboBox>(dialog, "cmbFator3")->setCurrentIndex(0);
                grid.item(1, frmImportar::kReversedColumn)->setCheckState(Qt::Checked);
                shownCounts.clear();
                for (int j = 1; j <= store::kLikertPoints; ++j) shownCounts << grid.item(1, j)->text();
                child<QPushButton>(dialog, import ? "cmdImportar" : "cmdCancelar")->click();
            });
            child<QPushButton>(w.window, "cmdImportar")->click();
        };
        MessageBox::queueAnswer(MessageBox::Answer::No);
        answer(true);
        QCOMPARE(shownCounts, (QStringList{"0", "1", "0", "0", "1"}));  // reversed
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown()[0].text.contains("3"));
        QCOMPARE(storedFactor(f), before);
        QCOMPARE(decision::ReadPropositions(f.db(), 3, 1)[0].text, store::Value("Guardada"));

        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        answer(true);
        QCOMPARE(decision::ReadPropositions(f.db(), 1, 1)[0].counts(), (core::Counts{0, 0, 0, 1, 1}));
        QCOMPARE(decision::ReadFactor(f.db(), 1).prop, store::Value("1"));
        QCOMPARE(decision::ReadPropositions(f.db(), 2, 1)[0].counts(), (core::Counts{0, 1, 0, 0, 1}));
        QCOMPARE(decision::ReadPropositions(f.db(), 3, 1)[0].text, store::Value("Curto"));
        QCOMPARE(decision::ReadPropositions(f.db(), 3, 1)[0].counts(), (core::Counts{0, 2, 0, 0, 0}));
        QCOMPARE(w.grid().textAt(kFirstRow, 0), "Barato");  // the shown factor, read anew
        // A factor given one grid's propositions takes its title; the shown one keeps its own.
        QCOMPARE(decision::ReadFactor(f.db(), 3).titleText(), std::string("Prazo"));
        QCOMPARE(decision::ReadFactor(f.db(), 2).titleText(), std::string("Custo"));
        QCOMPARE(decision::ReadFactor(f.db(), 1).title, titleOne);
    }
};

QTEST_MAIN(ImportTest)
#include "test_import.moc"
