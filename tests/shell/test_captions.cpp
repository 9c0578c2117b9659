#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QtTest>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "analysis/frmAnalise4f.h"
#include "analysis/frmEsquema.h"
#include "analysis_family/frmAnaliseFamilia.h"
#include "engine/decision_rule.h"
#include "engine/logical_state.h"
#include "engine/networks.h"
#include "export/workbook.h"
#include "likert/frmTabela.h"
#include "likert/import_preview.h"
#include "main/Menu.h"
#include "setup/frmCadastro.h"
#include "setup/frmMeta.h"
#include "shell/captions.h"
#include "shell/message_box.h"
#include "tests/support/test_support.h"

using namespace vpl;
using namespace vpl::test;
using core::Alike;
using core::Translated;

namespace {

// A translated window as its constructor builds it, and the table that captions it.
struct CaptionedWindow {
    const char* name;
    std::function<std::unique_ptr<QWidget>(Program&)> build;
    CaptionTable captions;
    // The main window shows its design captions until a language is stored.
    bool builtInPortuguese = true;
};

template <class Window>
std::unique_ptr<QWidget> build(Program& program) {
    return std::make_unique<Window>(program);
}

const std::vector<CaptionedWindow>& captionedWindows() {
    static const std::vector<CaptionedWindow> windows = [] {
        std::vector<CaptionedWindow> w{
            {"Menu", build<Menu>, kMenuCaptions, false},
            {"frmCadastro", build<frmCadastro>, kCadastroCaptions},
            {"frmMeta", build<frmMeta>, kMetaCaptions},
            {"frmTabela", build<frmTabela>, kTabelaCaptions},
            {"frmAnalise4f", build<frmAnalise4f>, kAnalise4fCaptions},
            {"frmEsquema4f",
             [](Program& p) { return std::make_unique<frmEsquema>(p, schemeMember(4)); },
             kEsquemaCaptions},
        };
        for (int factors : {2, 3, 5, 6, 7, 8})
            w.push_back({familyMember(factors).name,
                         [factors](Program& p) {
                             return std::make_unique<frmAnaliseFamilia>(p, familyMember(factors));
                         },
                         kFamiliaCaptions});
        return w;
    }();
    return windows;
}

// The caption that a table's key names, read the way the user sees it; null when no control
// of the window bears the name.
QString captionOf(QWidget& window, const char* key) {
    if (std::string_view(key) == kWindowTitle) return window.windowTitle();
    const QString name = QString::fromUtf8(key);
    if (auto* menu = window.findChild<QMenu*>(name)) return menu->title();
    if (auto* action = window.findChild<QAction*>(name)) return action->text();
    if (auto* label = window.findChild<QLabel*>(name)) return label->text();
    if (auto* button = window.findChild<QAbstractButton*>(name)) return button->text();
    if (auto* frame = window.findChild<QGroupBox*>(name)) return frame->title();
    return QString();
}

// Every table of texts in the three languages.
struct TextTable {
    const char* name;
    std::span<const Translated> rows;
};

const std::vector<TextTable>& textTables() {
    static const std::vector<TextTable> tables{
        {"menu captions", kMenuCaptions},
        {"registration captions", kCadastroCaptions},
        {"factors captions", kMetaCaptions},
        {"Likert captions", kTabelaCaptions},
        {"four-factor captions", kAnalise4fCaptions},
        {"family captions", kFamiliaCaptions},
        {"scheme captions", kEsquemaCaptions},
        {"factors texts", kMetaTexts},
        {"import texts", kImportTexts},
        {"logical states", core::NomesDosEstados()},
        {"logical-state heading", {&core::TituloDoEstado(), 1}},
        {"factors without answers", core::TextosSemRespostas()},
        {"verdicts", core::NomesDosVereditos()},
        {"caveats", core::TextosDasRessalvas()},
        {"decision heading", {&core::TituloDaDecisao(), 1}},
        {"spreadsheet texts", WorkbookTexts()},
    };
    return tables;
}

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// What a failed check names the row by.
const char* nameOf(const Translated& row) {
    if (!row.key) return "a row without a key";
    return *row.key ? row.key : "window title";
}

QByteArray shownFor(const Translated& row, const QString& shown) {
    return (QString(nameOf(row)) + ": " + shown).toUtf8();
}

}  // namespace

class CaptionsTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { MessageBox::setTestMode(true); }

    void everyCaptionReachesItsControlInEachLanguage_data() {
        QTest::addColumn<int>("window");
        for (std::size_t i = 0; i < captionedWindows().size(); ++i)
            QTest::newRow(captionedWindows()[i].name) << int(i);
    }
    void everyCaptionReachesItsControlInEachLanguage() {
        QFETCH(int, window);
        const CaptionedWindow& w = captionedWindows()[std::size_t(window)];
        Fixture f;
        const std::unique_ptr<QWidget> built = w.build(f.program());
        const struct {
            Language language;
            const char* Translated::*column;
        } languages[] = {{Language::English, &Translated::en},
                         {Language::Spanish, &Translated::es},
                         {Language::Portuguese, &Translated::pt}};
        for (const auto& l : languages) {
            applyLanguage(*built, l.language, w.captions);
            for (const Translated& row : w.captions) {
                const QString shown = captionOf(*built, row.key);
                QVERIFY2(shown == u8(row.*l.column), shownFor(row, shown).constData());
            }
        }
    }

    void windowsAreBuiltWithTheirPortugueseCaptions_data() {
        QTest::addColumn<int>("window");
        for (std::size_t i = 0; i < captionedWindows().size(); ++i)
            if (captionedWindows()[i].builtInPortuguese)
                QTest::newRow(captionedWindows()[i].name) << int(i);
    }
    // So the Portuguese a stored language applies changes nothing a window shows.
    void windowsAreBuiltWithTheirPortugueseCaptions() {
        QFETCH(int, window);
        const CaptionedWindow& w = captionedWindows()[std::size_t(window)];
        Fixture f;
        const std::unique_ptr<QWidget> built = w.build(f.program());
        for (const Translated& row : w.captions) {
            const QString shown = captionOf(*built, row.key);
            QVERIFY2(shown == u8(row.pt), shownFor(row, shown).constData());
        }
    }

    void everyTextIsInThreeLanguages_data() { addTextTables(); }
    void everyTextIsInThreeLanguages() {
        QFETCH(int, table);
        for (const Translated& row : textTables()[std::size_t(table)].rows) {
            QVERIFY(row.key);
            for (const char* text : {row.pt, row.en, row.es}) QVERIFY2(text && *text, nameOf(row));
        }
    }

    void translationsDifferFromThePortugueseUnlessMarkedAlike_data() { addTextTables(); }
    void translationsDifferFromThePortugueseUnlessMarkedAlike() {
        QFETCH(int, table);
        for (const Translated& row : textTables()[std::size_t(table)].rows) {
            const bool english = row.alike == Alike::InEnglish || row.alike == Alike::InAll;
            const bool spanish = row.alike == Alike::InSpanish || row.alike == Alike::InAll;
            // A mark where the words differ is as wrong as a missing one.
            QVERIFY2((u8(row.en) == u8(row.pt)) == english, nameOf(row));
            QVERIFY2((u8(row.es) == u8(row.pt)) == spanish, nameOf(row));
        }
    }

    void keysAreUniqueInEachTable_data() { addTextTables(); }
    void keysAreUniqueInEachTable() {
        QFETCH(int, table);
        QSet<QString> keys;
        for (const Translated& row : textTables()[std::size_t(table)].rows) {
            QVERIFY2(!keys.contains(u8(row.key)), nameOf(row));
            keys << u8(row.key);
        }
    }

  private:
    static void addTextTables() {
        QTest::addColumn<int>("table");
        for (std::size_t i = 0; i < textTables().size(); ++i)
            QTest::newRow(textTables()[i].name) << int(i);
    }
};

QTEST_MAIN(CaptionsTest)
#include "test_captions.moc"
