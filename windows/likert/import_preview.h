#pragma once

#include <QDialog>
#include <QString>
#include <span>

#include "core/language.h"
#include "core/translated.h"
#include "survey/survey_file.h"
#include "survey/survey_import.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace vpl {

// The words of the survey import, in one language.
struct ImportTexts {
    const char* title;
    const char* chooseFactor;  // no factor is shown yet
    const char* fileFilter;
    const char* cannotRead;  // followed by the file's name
    const char* notCsv;
    const char* noPropositions;
    const char* tooMany;          // %1 propositions, %2 the most a factor holds
    const char* countsLayout;     // %1 the delimiter, %2 rows
    const char* responsesLayout;  // %1 the delimiter, %2 respondents
    const char* countsSheet;      // %1 the workbook's sheet, %2 rows
    const char* responsesSheet;   // %1 the workbook's sheet, %2 respondents
    const char* replaces;         // %1 the factor
    const char* proposition;
    const char* notUnderstood;  // %1 how many
    const char* cell;           // %1 row, %2 column, %3 text
    const char* moreCells;      // %1 cells not understood past those listed
    const char* total;          // %1 row, %2 the total, %3 the sum
    const char* importAll;
    const char* importRest;
    const char* cancel;
    // A column that is not a proposition, %1 column, %2 heading, and why.
    const char* skippedToolField;
    const char* skippedDates;
    const char* skippedEmails;
    const char* skippedNumbers;
    const char* skippedNotAnswers;  // %3 answers of %4 filled cells
    const char* skippedEmpty;
    const char* nothingToImport;  // no column is a statement; the list says why
    const char* everyFactor;      // the export of every factor
    const char* knownExport;      // %1 the survey tool
    // A workbook that cannot be read, by WorkbookError's reason.
    const char* workbookNotZip;
    const char* workbookProtected;
    const char* workbookOld;
    const char* workbookDamaged;
    const char* workbookNoSheet;
    const char* workbookTooLarge;
    const char* workbookTooManyRows;     // %1 the most rows
    const char* workbookTooManyColumns;  // %1 the most columns
    const char* chooseSheet;             // the workbook has several
    const char* factorColumn;            // the heading of the column of factors
    const char* reversedColumn;
    const char* noFactor;                // a proposition not imported
    const char* factorTitle;
    const char* markReversed;
    const char* codesAsk;                // the codes' points are to be chosen
    const char* codesProposed;           // proposed by the codes' order
    const char* code;
    const char* point;
    const char* unassigned;
    const char* noAnswer;
    const char* saveMap;
    const char* mapFilter;
    const char* cannotSaveMap;    // followed by the file's name
    const char* replacesFactors;  // %1 the factors
    const char* askReplace;       // %1 the factors that hold data
};
// Every member above in the three languages, under its own name.
extern const std::span<const core::Translated> kImportTexts;
const ImportTexts& importTexts(core::Language language);

// Shows what an import will store, and every cell it did not understand, before anything
// is written: each proposition's factor (the shown one, another, or none) and whether its
// scale is reversed, the points of the answer codes, and the counts as they will be stored.
// Accepted means: import, as choices() says.
class frmImportar : public QDialog {
    Q_OBJECT
  public:
    // `factor` the shown factor's number and `factorName` its caption in the factor box.
    frmImportar(const core::SurveyFile& survey, core::ImportChoices choices, int factor,
                const QString& factorName, core::Language language, QWidget* parent = nullptr);
    // Everything into `factor` as the codes' order proposes.
    frmImportar(const core::SurveyFile& survey, int factor, const QString& factorName,
                core::Language language, QWidget* parent = nullptr);

    const core::ImportChoices& choices() const { return choices_; }

    // The columns of grdPrevia past the counts and their total.
    static constexpr int kFactorColumn = store::kLikertPoints + 2;
    static constexpr int kReversedColumn = kFactorColumn + 1;

  private:
    void refresh();  // the counts, the warning and the import button after a choice
    void cmdSalvarMapa_Click();
    // A factor given propositions of one grid or question only is proposed its title.
    void proposeTitle(int factor);

    const core::SurveyFile& survey_;
    core::ImportChoices choices_;
    std::vector<core::ImportItem> items_;
    std::vector<std::string> codes_;
    int factor_;
    QString factorName_;
    core::Language language_;
    QLabel* lblCodigos;
    QTableWidget* grdCodigos;
    QTableWidget* grdTitulos;
    QCheckBox* chkMarcar;
    QPushButton* cmdSalvarMapa;

    QLabel* lblFormato;
    QLabel* lblAviso;
    QTableWidget* grdPrevia;
    QLabel* lblNaoLidas;
    QListWidget* lstNaoLidas;
    QPushButton* cmdImportar;
    QPushButton* cmdCancelar;
};

}  // namespace vpl
