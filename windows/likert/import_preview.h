#pragma once

#include <QDialog>
#include <QString>
#include <span>

#include "core/language.h"
#include "core/translated.h"
#include "survey/survey_file.h"

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
};
// Every member above in the three languages, under its own name.
extern const std::span<const core::Translated> kImportTexts;
const ImportTexts& importTexts(core::Language language);

// Shows what an import will store in a factor, and every cell it did not understand,
// before anything is written. Accepted means: import.
class frmImportar : public QDialog {
    Q_OBJECT
  public:
    frmImportar(const core::SurveyFile& survey, const QString& factor, core::Language language,
                QWidget* parent = nullptr);

  private:
    QLabel* lblFormato;
    QLabel* lblAviso;
    QTableWidget* grdPrevia;
    QLabel* lblNaoLidas;
    QListWidget* lstNaoLidas;
    QPushButton* cmdImportar;
    QPushButton* cmdCancelar;
};

}  // namespace vpl
