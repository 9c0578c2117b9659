#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <climits>
#include <QtTest>

#include "likert/frmTabela.h"
#include "main/Menu.h"
#include "decision/decision.h"
#include "analysis/frmComparar.h"
#include "main/frmInformacoes.h"
#include "shell/captions.h"
#include "shell/file_dialog.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "store/schema.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/test_support.h"
#include "tests/support/window_checks.h"

using namespace vpl;
using namespace vpl::test;

namespace {

QByteArray checksum(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

// Records which windows the main window opens; each opening can play a window
// that sets the next-window code.
struct FakeOpener {
    QList<WindowId> opened;
    std::function<void(WindowId)> onOpen;
    WindowOpener opener() {
        return [this](WindowId id, QWidget*) {
            opened << id;
            if (onOpen) onOpen(id);
        };
    }
};

// A window whose load fails, as any window does when a table is missing.
class FailingWindow : public QDialog {
  public:
    FailingWindow(Program& program, QWidget* parent) : QDialog(parent), program_(program) {}
    void Form_Load() { program_.db().firstRow("NoSuchTable", {}); }
    int exec() override {
        ++execCount;
        return 0;
    }
    static inline int execCount = 0;

  private:
    Program& program_;
};

}  // namespace

// What a dispatch leaves: the window for the count, or none and one warning that names the
// stored count.
void checkDispatch(const QList<WindowId>& opened, int window, const QString& count) {
    if (window >= 0) {
        QCOMPARE(opened, QList<WindowId>{WindowId(window)});
        QCOMPARE(MessageBox::shown().size(), 0);
        return;
    }
    QVERIFY(opened.isEmpty());
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().icon, MessageBox::Icon::Warning);
    QVERIFY2(MessageBox::shown().first().text.contains(" " + count + " "),
             qPrintable(MessageBox::shown().first().text));
}

class MenuTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { MessageBox::setTestMode(true); }

    // A window event's failure is worded by where it came from; a fault of the program
    // never reads as a database fault.
    void failuresAreWordedByOrigin() {
        MessageBox::clearShown();
        QVERIFY(!guarded(nullptr, [] { throw store::StoreError("disk I/O error"); }));
        QVERIFY(!guarded(nullptr, [] { throw InvalidDataError("Contagem inválida"); }));
        QCOMPARE(MessageBox::shown().size(), 2);
        QVERIFY(MessageBox::shown()[0].text.contains("banco de dados"));
        QVERIFY(!MessageBox::shown()[1].text.contains("banco de dados"));

        // Outside the tests' message mode, as a user meets it.
        MessageBox::setTestMode(false);
        QString shown;
        test::whenModal([&](QWidget& box) {
            shown = box.findChild<QLabel*>("qt_msgbox_label")->text();
            box.close();
        });
        QVERIFY(!guarded(nullptr, [] { throw std::logic_error("índice fora da tabela"); }));
        MessageBox::setTestMode(true);
        QVERIFY2(shown.contains("Erro interno") && !shown.contains("banco de dados"),
                 qPrintable(shown));
    }

    void startUpAppliesTheStoredLanguage_data() {
        QTest::addColumn<QString>("idioma");
        QTest::addColumn<int>("gIdioma");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("English") << "1" << int(Language::English) << kEnglishCaptions;
        QTest::newRow("Spanish") << "2" << int(Language::Spanish) << kSpanishCaptions;
        QTest::newRow("Portuguese") << "3" << int(Language::Portuguese) << kPortugueseCaptions;
        QTest::newRow("zero") << "0" << int(Language::Portuguese) << kDesignCaptions;
        QTest::newRow("seven") << "7" << int(Language::Portuguese) << kDesignCaptions;
        QTest::newRow("NULL") << "NULL" << int(Language::Portuguese) << kDesignCaptions;
        QTest::newRow("text") << "'1'" << int(Language::English) << kEnglishCaptions;
    }
    void startUpAppliesTheStoredLanguage() {
        QFETCH(QString, idioma);
        QFETCH(int, gIdioma);
        QFETCH(QStringList, captions);
        Fixture f;
        f.db().execute("UPDATE Parametro SET Idioma = " + idioma.toStdString());
        f.program().dbBanco.reset();
        Menu menu(f.program());
        QCOMPARE(menu.Form_Load(), Menu::StartUp::Continue);
        QVERIFY(f.program().dbBanco);
        QCOMPARE(int(f.program().gIdioma), gIdioma);
        QCOMPARE(menuCaptions(menu), captions);
        QCOMPARE(MessageBox::shown().size(), 0);
        QCOMPARE(child<QAction>(menu, "mnuCompactar")->text(), "&Compactar Banco de Dados");
        QCOMPARE(child<QAction>(menu, "mnuSuporte")->text(), "&Suporte");
    }

    void mainWindowCarriesItsFixedTexts() {
        Fixture f;
        Menu menu(f.program());
        QCOMPARE(menu.windowTitle(), "Velmar Paraconsistent Logic");
        QCOMPARE(child<QLabel>(menu, "Label2")->text(), "Velmar Paraconsistent Logic ");
        QCOMPARE(child<QLabel>(menu, "Label1")->text(), "Velmar");
        QVERIFY(child<QWidget>(menu, "Image1"));
        QVERIFY(child<QWidget>(menu, "Image2"));
        auto* status = child<QStatusBar>(menu, "StatusBar1");
        QCOMPARE(child<QLabel>(*status, "Panel1")->text(), "Paraconsistent Logic");
        QVERIFY(!child<QLabel>(*status, "Panel2")->text().isEmpty());
        QCOMPARE(child<QLabel>(*status, "Panel3")->text(), "Versão: 22.01.27");
        QVERIFY(!child<QAction>(menu, "mnuCompactar")->isEnabled());
        QVERIFY(child<QAction>(menu, "mnuSuporte")->isEnabled());
    }

    void startUpFailureShowsTheEngineMessageAndKeepsTheWindow_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("engineMessage");
        QTest::newRow("missing file") << "remove"
                                      << "unable to open database file";
        QTest::newRow("damaged file") << "garbage"
                                      << "not a database";
        QTest::newRow("no Idioma") << "drop Idioma"
                                   << "no such column: Idioma";
        QTest::newRow("no Parametro") << "drop Parametro"
                                      << "no such table: Parametro";
        QTest::newRow("no row") << "empty Parametro"
                                << "Parametro";
        QTest::newRow("a FIFO") << "fifo"
                                << "arquivo comum";
    }
    void startUpFailureShowsTheEngineMessageAndKeepsTheWindow() {
        QFETCH(QString, damage);
        QFETCH(QString, engineMessage);
        Fixture f;
        if (damage == "drop Idioma") {
            f.db().execute("DROP TABLE Parametro");
            f.db().execute("CREATE TABLE Parametro (Id INTEGER PRIMARY KEY, Fatores NUMERIC)");
            f.db().execute("INSERT INTO Parametro VALUES (1, 4)");
        } else if (damage == "drop Parametro") {
            f.db().execute("DROP TABLE Parametro");
        } else if (damage == "empty Parametro") {
            f.db().execute("DELETE FROM Parametro");
        }
        f.program().dbBanco.reset();
        if (damage == "remove" || damage == "fifo")
            QVERIFY(QFile::remove(f.program().dataFilePath()));
        if (damage == "fifo")  // would hang the start-up, were it read
            QCOMPARE(::mkfifo(QFile::encodeName(f.program().dataFilePath()).constData(), 0600), 0);
        if (damage == "garbage") {
            QFile file(f.program().dataFilePath());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray(8192, 'x'));
        }
        Menu menu(f.program());
        QCOMPARE(menu.Form_Load(), Menu::StartUp::Continue);
        QCOMPARE(MessageBox::shown().size(), 1);
        const MessageBox::Shown box = MessageBox::shown().first();
        QCOMPARE(box.title, "Erro");
        QCOMPARE(box.icon, MessageBox::Icon::Critical);
        QCOMPARE(box.buttons, MessageBox::Buttons::Ok);
        const QString prefix =
            "Ocorreu um erro na Abertura de Arquivos.\nComo referência, anote a seguinte "
            "mensagem: \nRef.: ";
        QVERIFY2(box.text.startsWith(prefix), qPrintable(box.text));
        QVERIFY2(box.text.contains(engineMessage), qPrintable(box.text));
        QCOMPARE(menuCaptions(menu), kDesignCaptions);
        if (damage == "remove") {
            QVERIFY(!QFile::exists(f.program().dataFilePath()));
            QCOMPARE(f.program().gIdioma, Language::None);
        }
    }

    void secondInstanceIsRefusedBeforeOpeningTheDatabase() {
        Fixture f;
        Menu first(f.program());
        QCOMPARE(first.Form_Load(), Menu::StartUp::Continue);

        Program second(f.dir());
        Menu secondMenu(second);
        QCOMPARE(secondMenu.Form_Load(), Menu::StartUp::Quit);
        QVERIFY(!second.dbBanco);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text,
                 "Programa ativo pela segunda vez, será fechado!");
        QCOMPARE(MessageBox::shown().first().title, "Programa Paralizado!");
        QCOMPARE(MessageBox::shown().first().icon, MessageBox::Icon::Warning);
        QVERIFY2(f.program().dbBanco, "the first instance keeps its database");

        // Another folder is another installation.
        Fixture other;
        Menu otherMenu(other.program());
        QCOMPARE(otherMenu.Form_Load(), Menu::StartUp::Continue);
    }

    // A file the user named is the one the title names and the lock holds; another instance
    // on it may only read it, when the user says so, and writes nothing then.
    void aNamedFileHeldElsewhereIsOfferedForReading_data() {
        QTest::addColumn<MessageBox::Answer>("answer");
        QTest::newRow("read it") << MessageBox::Answer::Yes;
        QTest::newRow("end") << MessageBox::Answer::No;
    }
    void aNamedFileHeldElsewhereIsOfferedForReading() {
        QFETCH(MessageBox::Answer, answer);
        QTemporaryDir folder;
        const QString named = QDir(folder.path()).filePath("obra.mdb");
        store::createDeliveredFile(named.toStdString());
        Program owner(folder.path() + "/elsewhere", {}, named);
        owner.recentFiles = RecentFiles(folder.filePath("settings.ini"));
        Menu ownerMenu(owner);
        QCOMPARE(ownerMenu.Form_Load(), Menu::StartUp::Continue);
        QCOMPARE(ownerMenu.windowTitle(), "Velmar Paraconsistent Logic - obra.mdb");
        QVERIFY(!owner.readOnly());

        Fixture other;  // another program folder, the same file named
        Program second(other.dir(), {}, named);
        second.recentFiles = other.program().recentFiles;
        MessageBox::clearShown();
        MessageBox::queueAnswer(answer);
        Menu secondMenu(second);
        const Menu::StartUp start = secondMenu.Form_Load();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().buttons, MessageBox::Buttons::YesNo);
        QVERIFY(MessageBox::shown().first().text.contains("obra.mdb"));
        if (answer == MessageBox::Answer::No) {
            QCOMPARE(start, Menu::StartUp::Quit);
            QVERIFY(!second.dbBanco);
            return;
        }
        QCOMPARE(start, Menu::StartUp::Continue);
        QVERIFY(second.readOnly());
        QCOMPARE(decision::ReadParameters(second.db()).fileVersion,
                 decision::ReadParameters(owner.db()).fileVersion);
    }

    // New, open, copy and recent: each leaves the program on the file it names, the title and
    // the information window's file line follow, and the file left behind is closed whole.
    void theFileMenuMovesBetweenDecisions() {
        Fixture f;
        Menu menu(f.program());
        QCOMPARE(menu.Form_Load(), Menu::StartUp::Continue);
        decision::SaveLanguage(f.db(), decision::ReadParameters(f.db()).key, Language::English);
        applyStoredLanguage(f.program(), menu, kMenuCaptions);
        QCOMPARE(child<QMenu>(menu, "mnuArquivo")->title(), "File");
        QTemporaryDir folder;
        const QString obra = folder.filePath("obra.mdb");
        QString answer;
        FileDialog::setFake([&](const QString&) { return answer; });
        auto fileLine = [&] {
            frmInformacoes info(f.program());
            info.Form_Load();
            return child<QLabel>(info, "lblArquivoDados")->text();
        };

        answer = obra;
        menu.mnuNova_Click();
        QCOMPARE(f.program().dataFilePath(), obra);
        QCOMPARE(menu.windowTitle(), "Velmar Paraconsistent Logic - obra.mdb");
        QCOMPARE(fileLine(), QDir::toNativeSeparators(obra));
        // A new decision is the delivered one: its own language, not the last file's.
        QCOMPARE(child<QMenu>(menu, "mnuArquivo")->title(), "Arquivo");
        QCOMPARE(decision::ReadStoredLanguage(f.db()).value_or(0), 3.0);

        decision::SaveRegistration(f.db(), {}, {std::string("Construir a ponte?"), {}},
                                   f.db().dataVersion());
        const QString copy = folder.filePath("copia.mdb");
        answer = copy;
        menu.mnuCopia_Click();
        QCOMPARE(f.program().dataFilePath(), obra);  // a copy is taken, not opened
        answer = copy;
        menu.mnuAbrir_Click();
        QCOMPARE(decision::ReadQuestion(f.db()), "Construir a ponte?");
        QCOMPARE(menu.windowTitle(), "Velmar Paraconsistent Logic - copia.mdb");

        // The recent files, newest first; one no longer there is greyed until removed.
        QVERIFY(QFile::remove(obra));
        QMenu* recent = child<QMenu>(menu, "mnuRecentes");
        QMetaObject::invokeMethod(recent, "aboutToShow");
        QVERIFY(child<QAction>(menu, "mnuRecente1")->text().endsWith("copia.mdb"));
        QVERIFY(child<QAction>(menu, "mnuRecente1")->isEnabled());
        QVERIFY(child<QAction>(menu, "mnuRecente2")->text().endsWith("obra.mdb"));
        QVERIFY(!child<QAction>(menu, "mnuRecente2")->isEnabled());
        child<QAction>(menu, "mnuRemoverAusentes")->trigger();
        QCOMPARE(f.program().recentFiles.files(), QStringList{copy});
        FileDialog::clearFake();
    }

    // The open decision and two chosen ones: one table ranked by certainty, one point each,
    // numbered as in the table, further right for the surer; the others are only read.
    void comparingDecisionsRanksThemAndPlacesTheirPoints() {
        Fixture f;
        FakeOpener fake;
        f.program().opener = fake.opener();
        Menu menu(f.program());
        QCOMPARE(menu.Form_Load(), Menu::StartUp::Continue);
        const auto setPairs = [](store::Database& db, double mu, double lambda) {
            db.execute("UPDATE Parametro SET Fatores = 4");
            db.execute("UPDATE Fatores SET Mi1 = " + std::to_string(mu) +
                       ", Mi2 = " + std::to_string(lambda));
        };
        setPairs(f.db(), 0.5, 0.5);  // Gc 0
        QTemporaryDir folder;
        const QString surer = folder.filePath("sim.mdb");
        const QString against = folder.filePath("nao.mdb");
        for (const auto& [file, mu] : {std::pair{surer, 0.9}, std::pair{against, 0.1}}) {
            store::createDeliveredFile(file.toStdString());
            setPairs(*store::Database::open(file.toStdString(), store::kDatabaseKey), mu, 1 - mu);
        }
        const QByteArray before = checksum(surer) + checksum(against);
        FileDialog::setFake([&](const QString&) { return surer + "\n" + against; });
        menu.mnuComparar_Click();
        FileDialog::clearFake();
        QCOMPARE(fake.opened, QList<WindowId>{WindowId::Comparar});

        frmComparar window(f.program());
        window.Form_Load();
        auto* grid = child<QTableWidget>(window, "grdComparacao");
        QCOMPARE(grid->rowCount(), 3);
        const QStringList names{"sim.mdb", "VPLData.mdb", "nao.mdb"};
        int lastX = INT_MAX;
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(grid->item(row, 1)->text(), names[row]);
            const int x = child<QLabel>(window, qPrintable(QString("lblPonto%1").arg(row + 1)))
                              ->geometry()
                              .center()
                              .x();
            QVERIFY2(x < lastX, qPrintable(names[row]));
            lastX = x;
        }
        QCOMPARE(checksum(surer) + checksum(against), before);
        QVERIFY(!child<QLabel>(window, "lblFalhas")->isVisibleTo(&window));
    }

    // A copy never replaces a file another program has open.
    void aCopyNeverReplacesAFileInUse() {
        QTemporaryDir folder;
        const QString named = folder.filePath("obra.mdb");
        store::createDeliveredFile(named.toStdString());
        Program owner(folder.path(), {}, named);
        owner.recentFiles = RecentFiles(folder.filePath("settings.ini"));
        QVERIFY(owner.claimSingleInstance());
        const QByteArray before = checksum(named);

        Fixture f;
        Menu menu(f.program());
        QCOMPARE(menu.Form_Load(), Menu::StartUp::Continue);
        MessageBox::clearShown();
        FileDialog::setFake([&](const QString&) { return named; });
        menu.mnuCopia_Click();
        FileDialog::clearFake();
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.contains("obra.mdb"));
        QCOMPARE(checksum(named), before);
    }

    // A file that cannot be opened is reported as at start-up; it keeps every byte and the
    // open file stays open.
    void aFileThatFailsToOpenLeavesTheOpenOne() {
        Fixture f;
        Menu menu(f.program());
        QCOMPARE(menu.Form_Load(), Menu::StartUp::Continue);
        QTemporaryDir folder;
        const QString damaged = folder.filePath("danificado.mdb");
        store::createDeliveredFile(damaged.toStdString());
        QVERIFY(QFile::resize(damaged, 3000));
        const QString wrongKey = folder.filePath("outra.mdb");
        store::createDeliveredFile(wrongKey.toStdString(), "Outra");
        for (const QString& file : {damaged, wrongKey, folder.filePath("nenhum.mdb")}) {
            QFile in(file);
            const QByteArray before = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
            in.close();
            MessageBox::clearShown();
            QVERIFY(!menu.openDecision(file));
            QCOMPARE(MessageBox::shown().size(), 1);
            QVERIFY(MessageBox::shown().first().text.startsWith("Ocorreu um erro na Abertura"));
            QCOMPARE(f.program().dataFilePath(), QDir(f.dir()).filePath("VPLData.mdb"));
            QVERIFY(!decision::ReadParameters(f.db()).fileVersion.empty());
            if (in.open(QIODevice::ReadOnly)) QCOMPARE(in.readAll(), before);
            QVERIFY(!QFile::exists(file + "-wal"));
        }
        QCOMPARE(menu.windowTitle(), "Velmar Paraconsistent Logic");
    }

    // A lock file of another owner, as a running instance leaves it, is no instance of this
    // user: the program starts and takes the lock for itself.
    void aLockFileOfAnotherUserDoesNotStopTheProgram() {
        if (geteuid() != 0) QSKIP("giving a file to another user needs root");
        Fixture f;
        Program program(f.dir());
        const QString lockPath = program.instanceLockFile();
        QVERIFY(QDir().mkpath(QFileInfo(lockPath).path()));
        QLockFile held(lockPath);
        QVERIFY(held.tryLock(0));
        QCOMPARE(::chown(QFile::encodeName(lockPath).constData(), 65534, 65534), 0);

        MessageBox::clearShown();
        Menu menu(program);
        QCOMPARE(menu.Form_Load(), Menu::StartUp::Continue);
        QVERIFY(program.dbBanco);
        QCOMPARE(MessageBox::shown().size(), 0);
        struct stat status {};
        QCOMPARE(::lstat(QFile::encodeName(lockPath).constData(), &status), 0);
        QCOMPARE(status.st_uid, ::geteuid());
        // The file is the program's now: the other lock finds nothing of its own to remove.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Could not remove our own lock"));
    }

    void setUpChainFollowsTheNextWindowCode() {
        Fixture f;
        FakeOpener fake;
        f.program().opener = fake.opener();
        Menu menu(f.program());

        // Registration closed with its save button: nothing else opens.
        menu.mnuCad_Click();
        QCOMPARE(fake.opened, QList<WindowId>{WindowId::Cadastro});

        // Registration's factors button, then the factors window's opinions button.
        fake.opened.clear();
        fake.onOpen = [&](WindowId id) {
            if (id == WindowId::Cadastro) f.program().gProximaJanela = NextWindow::Factors;
            if (id == WindowId::Meta) f.program().gProximaJanela = NextWindow::Likert;
            if (id == WindowId::Tabela) f.program().gProximaJanela = NextWindow::None;
        };
        menu.mnuCad_Click();
        QCOMPARE(fake.opened,
                 (QList<WindowId>{WindowId::Cadastro, WindowId::Meta, WindowId::Tabela}));

        // The code is reset before a window opens: a stale 2 opens nothing more.
        fake.opened.clear();
        f.program().gProximaJanela = NextWindow::Likert;
        fake.onOpen = nullptr;
        menu.mnuMeta_Click();
        QCOMPARE(fake.opened, QList<WindowId>{WindowId::Meta});

        fake.opened.clear();
        fake.onOpen = [&](WindowId id) {
            if (id == WindowId::Meta) f.program().gProximaJanela = NextWindow::Likert;
        };
        menu.mnuMeta_Click();
        QCOMPARE(fake.opened, (QList<WindowId>{WindowId::Meta, WindowId::Tabela}));

        fake.opened.clear();
        child<QAction>(menu, "mnuTabela")->trigger();
        child<QAction>(menu, "mnuSuporte")->trigger();
        QCOMPARE(fake.opened, (QList<WindowId>{WindowId::Tabela, WindowId::Informacoes}));
    }

    void analysisDispatchByStoredFactorCount_data() {
        QTest::addColumn<QString>("fatores");
        QTest::addColumn<int>("window");  // -1: none
        QTest::newRow("2") << "2" << int(WindowId::Analise2f);
        QTest::newRow("3") << "3" << int(WindowId::Analise3f);
        QTest::newRow("4") << "4" << int(WindowId::Analise4f);
        QTest::newRow("4.0") << "4.0" << int(WindowId::Analise4f);
        QTest::newRow("5") << "5" << int(WindowId::Analise5f);
        QTest::newRow("6") << "6" << int(WindowId::Analise6f);
        QTest::newRow("7") << "7" << int(WindowId::Analise7f);
        QTest::newRow("8") << "8" << int(WindowId::Analise8f);
        QTest::newRow("abc") << "'abc'" << int(WindowId::Analise4f);
        QTest::newRow("empty text") << "''" << int(WindowId::Analise4f);
        QTest::newRow("NULL") << "NULL" << int(WindowId::Analise4f);
        QTest::newRow("1") << "1" << -1;
        QTest::newRow("9") << "9" << -1;
        QTest::newRow("4.5") << "4.5" << -1;
        QTest::newRow("-4") << "-4" << -1;
    }
    void analysisDispatchByStoredFactorCount() {
        QFETCH(QString, fatores);
        QFETCH(int, window);
        Fixture f;
        f.db().execute("UPDATE Parametro SET Fatores = " + fatores.toStdString());
        FakeOpener fake;
        f.program().opener = fake.opener();
        Menu menu(f.program());
        MessageBox::clearShown();
        child<QAction>(menu, "mnuAna")->trigger();
        checkDispatch(fake.opened, window, fatores);
    }

    // The Likert window's analysis button dispatches on the registration's count (nFatores)
    // and, when it opens nothing, says which count is stored.
    void likertAnalysisButtonNamesACountThatOpensNothing_data() {
        QTest::addColumn<QString>("nFatores");
        QTest::addColumn<int>("window");  // -1: none
        QTest::newRow("4") << "4" << int(WindowId::Analise4f);
        QTest::newRow("1") << "1" << -1;
        QTest::newRow("9") << "9" << -1;
        QTest::newRow("4.5") << "4.5" << -1;
    }
    void likertAnalysisButtonNamesACountThatOpensNothing() {
        QFETCH(QString, nFatores);
        QFETCH(int, window);
        Fixture f;
        f.db().execute("UPDATE Cadastro SET nFatores = " + nFatores.toStdString());
        FakeOpener fake;
        f.program().opener = fake.opener();
        frmTabela tabela(f.program());
        tabela.Form_Load();  // an unusable count is told here already
        MessageBox::clearShown();
        child<QPushButton>(tabela, "cmdAnalise")->click();
        checkDispatch(fake.opened, window, nFatores);
        if (window < 0 && !QTest::currentTestFailed())
            QVERIFY(MessageBox::shown().first().text.contains("nFatores"));
    }

    void dispatchReadsTextCountsByTheUserLocale() {
        Fixture f(core::NumberLocale{','});
        const auto analysisWindowFor = [&](const store::Value& stored, const Program& program) {
            f.db().updateFirst("Parametro", 1, {{"Fatores", stored}});
            return analysisWindowForCount(decision::ReadFactorCount(f.db(), program.locale).number);
        };
        QCOMPARE(analysisWindowFor(store::Value("6"), f.program()), WindowId::Analise6f);
        QCOMPARE(analysisWindowFor(store::Value(" 5,0 "), f.program()), WindowId::Analise5f);
        QCOMPARE(analysisWindowFor(store::Value("5.0x"), f.program()), WindowId::Analise4f);
        QCOMPARE(analysisWindowFor(store::Value(4.0), f.program()), WindowId::Analise4f);
        QCOMPARE(analysisWindowFor(store::Value(9), f.program()), std::nullopt);
    }

    void windowsWithoutDatabaseShowAMessage() {
        Fixture f;
        f.program().dbBanco.reset();
        FakeOpener fake;
        f.program().opener = fake.opener();
        Menu menu(f.program());
        child<QAction>(menu, "mnuAna")->trigger();
        QVERIFY(fake.opened.isEmpty());
        test::verifyOneError("não está aberto");

        MessageBox::clearShown();
        FailingWindow::execCount = 0;
        openModal<FailingWindow>(f.program(), &menu);
        QCOMPARE(FailingWindow::execCount, 0);
        QCOMPARE(MessageBox::shown().size(), 1);

        f.reopen();
        MessageBox::clearShown();
        openModal<FailingWindow>(f.program(), &menu);
        QCOMPARE(FailingWindow::execCount, 0);
        QVERIFY(MessageBox::shown().first().text.contains("no such table: NoSuchTable"));
    }

    void translatedWindowsFollowTheStoredLanguage() {
        Fixture f;
        QWidget window;
        auto* label = new QLabel("Decidir sobre:", &window);
        label->setObjectName("Label1");
        window.setWindowTitle("Cadastro");
        for (auto [code, expectIdioma, title] : {std::tuple{"2", Language::Spanish, "Registro"},
                                                 {"1", Language::English, "Registration"},
                                                 {"5", Language::Portuguese, "Registration"}}) {
            f.db().execute(std::string("UPDATE Parametro SET Idioma = ") + code);
            applyStoredLanguage(f.program(), window, kCadastroCaptions);
            QCOMPARE(f.program().gIdioma, expectIdioma);
            QCOMPARE(window.windowTitle(), QString::fromUtf8(title));
        }
        QCOMPARE(label->text(), "Decide on:");
    }

    void f10ReachesTheMenuInEveryLanguage_data() {
        QTest::addColumn<QString>("idioma");
        QTest::newRow("English") << "1";
        QTest::newRow("Spanish") << "2";
        QTest::newRow("Portuguese") << "3";
        QTest::newRow("design captions") << "5";
    }
    void f10ReachesTheMenuInEveryLanguage() {
        QFETCH(QString, idioma);
        Fixture f;
        f.db().execute("UPDATE Parametro SET Idioma = " + idioma.toStdString());
        f.program().dbBanco.reset();
        FakeOpener fake;
        f.program().opener = fake.opener();
        Menu menu(f.program());
        QCOMPARE(menu.Form_Load(), Menu::StartUp::Continue);
        menu.show();
        menu.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&menu));
        QMenuBar* bar = menu.menuBar();

        QTest::keyClick(&menu, Qt::Key_F10);
        QVERIFY(bar->hasFocus());
        QCOMPARE(bar->activeAction(), child<QMenu>(menu, "mnuArquivo")->menuAction());
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(bar->activeAction(), child<QAction>(menu, "mnuCad"));
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(bar->activeAction(), child<QAction>(menu, "mnuMeta"));
        QTest::keyClick(bar, Qt::Key_Return);
        QCOMPARE(fake.opened, QList<WindowId>{WindowId::Meta});

        // The submenu opens from the keyboard too; its inactive first item is passed over.
        fake.opened.clear();
        QTest::keyClick(&menu, Qt::Key_F10);
        for (int i = 0; i < 5; ++i) QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(bar->activeAction(), child<QMenu>(menu, "mnuUtil")->menuAction());
        QTest::keyClick(bar, Qt::Key_Down);
        auto* util = child<QMenu>(menu, "mnuUtil");
        QTRY_VERIFY(util->isVisible());
        QCOMPARE(util->activeAction(), child<QAction>(menu, "mnuSuporte"));
        QTest::keyClick(util, Qt::Key_Return);
        QCOMPARE(fake.opened, QList<WindowId>{WindowId::Informacoes});
    }

    void quitClosesTheMainWindow() {
        Fixture f;
        Menu menu(f.program());
        menu.show();
        QVERIFY(menu.isVisible());
        child<QAction>(menu, "mnuSair")->trigger();
        QVERIFY(!menu.isVisible());
    }
};

QTEST_MAIN(MenuTest)
#include "test_menu.moc"
