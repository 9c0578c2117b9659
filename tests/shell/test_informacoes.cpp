#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSysInfo>
#include <QTimer>
#include <QtTest>

#include "app/window_registry.h"
#include "main/Menu.h"
#include "main/frmInformacoes.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/test_support.h"
#include "tests/support/window_checks.h"

using namespace vpl;
using namespace vpl::test;

namespace {

// Which of opt1 .. opt3 is selected: 1 .. 3, or 0 for none.
int selectedOption(QWidget& w) {
    for (int i = 1; i <= 3; ++i)
        if (child<QRadioButton>(w, qPrintable(QString("opt%1").arg(i)))->isChecked()) return i;
    return 0;
}

QVariant storedIdioma(Fixture& f) {
    f.reopen();
    const store::Value v = f.db().firstRow("Parametro", {"Idioma"}).value("Idioma");
    return v.isNull() ? QVariant() : QVariant(qlonglong(v.integer()));
}

}  // namespace

class InformacoesTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { MessageBox::setTestMode(true); }

    void resolutionIsShownWithSignPositions_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<QString>("text");
        QTest::newRow("full HD") << 1920.0 << 1080.0 << " 1920 x 1080 DPI";
        QTest::newRow("XGA") << 1024.0 << 768.0 << " 1024 x 768 DPI";
        QTest::newRow("4K") << 3840.0 << 2160.0 << " 3840 x 2160 DPI";
        QTest::newRow("fraction") << 1366.5 << 768.0 << " 1366.5 x 768 DPI";
        QTest::newRow("zero") << 0.0 << 0.0 << " 0 x 0 DPI";
        QTest::newRow("negative") << -1.0 << 600.0 << "-1 x 600 DPI";
    }
    void resolutionIsShownWithSignPositions() {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(QString, text);
        QCOMPARE(resolutionText(width, height), text);
    }

    void loadShowsTheInstallationAndTheMachine() {
        Fixture f;
        f.db().execute("UPDATE Parametro SET versaoBD = '2022.07-b'");
        Loaded<frmInformacoes> w(f.program());
        QCOMPARE(child<QLabel>(w, "lblPasta")->text(), QDir::toNativeSeparators(f.dir()));
        QCOMPARE(child<QLabel>(w, "lblBancoDados")->text(), "2022.07-b");
        QCOMPARE(child<QLabel>(w, "lblArquivoDados")->text(),
                 QDir::toNativeSeparators(QDir(f.dir()).filePath("VPLData.mdb")));
        QCOMPARE(child<QLabel>(w, "lblVAR")->text(), QSysInfo::machineHostName());
        QCOMPARE(frmInformacoes::GetComputer(), QSysInfo::machineHostName());
        const QString user = w.sUserID();
        QVERIFY(!user.isEmpty());
        QCOMPARE(user, user.trimmed());
        QVERIFY(!user.contains(QChar(0)));
        QCOMPARE(child<QLabel>(w, "lblUSUARIO")->text(), user);
        QVERIFY2(QRegularExpression("^ \\d+ x \\d+ DPI$")
                     .match(child<QLabel>(w, "lblVIDEO")->text())
                     .hasMatch(),
                 qPrintable(child<QLabel>(w, "lblVIDEO")->text()));
        QCOMPARE(f.program().gIdioma, Language::None);  // loading changes no language
    }

    void fixedCaptionsInEveryLanguage_data() { addLanguageRows(); }
    void fixedCaptionsInEveryLanguage() {
        QFETCH(int, idioma);
        Fixture f;
        f.db().update("Parametro", 1, {{"Idioma", idioma}});
        Loaded<frmInformacoes> w(f.program());
        QCOMPARE(w.windowTitle(), "General Information");
        const std::pair<const char*, const char*> frames[] = {
            {"Frame4", "Language: "},
            {"Frame3", "Autoria: "},
            {"Frame2", "Suporte: "},
            {"Frame1", "Especificação do Computador: "}};
        for (auto [name, title] : frames) QCOMPARE(child<QGroupBox>(w, name)->title(), title);
        const std::pair<const char*, const char*> labels[] = {{"Label9", "Pasta do Software:"},
                                                              {"Label10", "Versão Banco de Dados:"},
                                                              {"Label3", "Usuário Logado:"},
                                                              {"Label2", "Nome do Micro na Rede:"},
                                                              {"Label1", "Resolução do Vídeo:"}};
        for (auto [name, text] : labels) QCOMPARE(child<QLabel>(w, name)->text(), text);
        QCOMPARE(child<QRadioButton>(w, "opt1")->text(), "English");
        QCOMPARE(child<QRadioButton>(w, "opt2")->text(), "Espanhõl");
        QCOMPARE(child<QRadioButton>(w, "opt3")->text(), "Português");
        QCOMPARE(child<QPushButton>(w, "cmdVOLTAR")->text(), "&Return");
        QVERIFY(child<QLabel>(w, "Label7")->text().startsWith("https://"));
        for (const char* line : {"Label13", "Label12", "Label11", "Label14", "Label8"})
            QVERIFY2(!child<QLabel>(w, line)->text().isEmpty(), line);
        QVERIFY(child<QWidget>(w, "Picture1"));
    }

    void optionFollowsTheStoredCode_data() {
        QTest::addColumn<QString>("idioma");
        QTest::addColumn<int>("option");
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("2") << "2" << 2;
        QTest::newRow("3") << "3" << 3;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("7") << "7" << 0;
        QTest::newRow("NULL") << "NULL" << 0;
    }
    void optionFollowsTheStoredCode() {
        QFETCH(QString, idioma);
        QFETCH(int, option);
        Fixture f;
        f.db().execute("UPDATE Parametro SET Idioma = " + idioma.toStdString());
        Loaded<frmInformacoes> w(f.program());
        QCOMPARE(selectedOption(w), option);
    }

    void returnStoresTheChosenLanguageAndRecaptionsTheMenuAtOnce_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("chosen");  // 0: untouched
        QTest::addColumn<QStringList>("menu");
        QTest::addColumn<QStringList>("yesNo");  // a message box's buttons from then on
        const QStringList es{"Sí", "No"}, en{"Yes", "No"}, pt{"Sim", "Não"};
        QTest::newRow("Spanish chosen") << 1 << 2 << kSpanishCaptions << es;
        QTest::newRow("English chosen") << 3 << 1 << kEnglishCaptions << en;
        QTest::newRow("Portuguese chosen") << 1 << 3 << kPortugueseCaptions << pt;
        QTest::newRow("untouched Spanish") << 2 << 0 << kSpanishCaptions << es;
        QTest::newRow("untouched Portuguese") << 3 << 0 << kPortugueseCaptions << pt;
    }
    void returnStoresTheChosenLanguageAndRecaptionsTheMenuAtOnce() {
        QFETCH(int, stored);
        QFETCH(int, chosen);
        QFETCH(QStringList, menu);
        QFETCH(QStringList, yesNo);
        Fixture f;
        f.db().update("Parametro", 1, {{"Idioma", stored}});
        MessageBox::setLanguage(Language(stored));  // as start-up leaves it
        Menu mainWindow(f.program());
        Loaded<frmInformacoes> w(f.program(), &mainWindow);
        w.show();
        if (chosen)
            QTest::mouseClick(child<QRadioButton>(w, qPrintable(QString("opt%1").arg(chosen))),
                              Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(w, "cmdVOLTAR"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        const int expected = chosen ? chosen : stored;
        QCOMPARE(int(f.program().gIdioma), expected);
        QCOMPARE(menuCaptions(mainWindow), menu);
        QCOMPARE(storedIdioma(f), QVariant(qlonglong(expected)));
        QCOMPARE(MessageBox::shown().size(), 0);
        MessageBox::show(&mainWindow, "?", "?", MessageBox::Icon::None, MessageBox::Buttons::YesNo);
        QCOMPARE(MessageBox::shown().first().buttonTexts, yesNo);
    }

    void withNoCodeStoredReturnChangesNothing_data() {
        QTest::addColumn<QString>("idioma");
        QTest::newRow("0") << "0";
        QTest::newRow("NULL") << "NULL";
    }
    void withNoCodeStoredReturnChangesNothing() {
        QFETCH(QString, idioma);
        Fixture f;
        f.db().execute("UPDATE Parametro SET Idioma = " + idioma.toStdString());
        Menu mainWindow(f.program());
        f.program().gIdioma = Language::Portuguese;
        Loaded<frmInformacoes> w(f.program(), &mainWindow);
        QTest::mouseClick(child<QPushButton>(w, "cmdVOLTAR"), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(f.program().gIdioma, Language::Portuguese);
        QCOMPARE(menuCaptions(mainWindow), kDesignCaptions);
        QCOMPARE(storedIdioma(f), idioma == "0" ? QVariant(0LL) : QVariant());
    }

    void closingOtherwiseStoresNothing() {
        Fixture f;
        Menu mainWindow(f.program());
        Loaded<frmInformacoes> w(f.program(), &mainWindow);
        w.show();
        QTest::mouseClick(child<QRadioButton>(w, "opt1"), Qt::LeftButton);
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QCOMPARE(menuCaptions(mainWindow), kDesignCaptions);
        QCOMPARE(storedIdioma(f), QVariant(3LL));
    }

    void failuresEndInAMessage() {
        Fixture f;
        f.db().execute("UPDATE Parametro SET versaoBD = NULL");
        openModal<frmInformacoes>(f.program(), nullptr);
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.contains("Parametro.versaoBD"));

        // The row vanishes while the window is open: the language is not taken.
        f.db().execute("UPDATE Parametro SET versaoBD = '1'");
        MessageBox::clearShown();
        Menu mainWindow(f.program());
        Loaded<frmInformacoes> w(f.program(), &mainWindow);
        w.show();
        f.db().execute("DELETE FROM Parametro");
        QTest::mouseClick(child<QRadioButton>(w, "opt2"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(w, "cmdVOLTAR"), Qt::LeftButton);
        test::verifyOneError();
        QVERIFY(w.isVisible());
        QCOMPARE(menuCaptions(mainWindow), kDesignCaptions);
        QCOMPARE(f.program().gIdioma, Language::None);
    }

    void supportMenuOpensTheWindowThroughTheProgramsTable() {
        Fixture f;
        installWindows(f.program());
        Menu mainWindow(f.program());
        QTimer::singleShot(0, [] {
            QWidget* modal = QApplication::activeModalWidget();
            QVERIFY(modal);
            QCOMPARE(modal->objectName(), "frmInformacoes");
            child<QRadioButton>(*modal, "opt1")->click();
            child<QPushButton>(*modal, "cmdVOLTAR")->click();
        });
        child<QAction>(mainWindow, "mnuSuporte")->trigger();
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(menuCaptions(mainWindow), kEnglishCaptions);
        QCOMPARE(storedIdioma(f), QVariant(1LL));
    }
};

QTEST_MAIN(InformacoesTest)
#include "test_informacoes.moc"
