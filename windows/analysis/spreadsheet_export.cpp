#include "analysis/spreadsheet_export.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "core/translated.h"
#include "decision/decision.h"
#include "export/workbook.h"
#include "report/report_actions.h"
#include "shell/controls.h"
#include "shell/file_dialog.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "store/database.h"

namespace vpl {

void ExportSpreadsheet(QWidget* window, Program& program, int factors, AnalysisSource source) {
    const auto word = [&](const char* key) {
        return QString::fromUtf8(core::TextIn(core::Lookup(WorkbookTexts(), key), program.gIdioma));
    };
    const QString path =
        FileDialog::saveFileName(window, word("dialogTitle"), ProposedDocumentPath(program, "xlsx"),
                                 word("filter"), QStringLiteral("xlsx"));
    if (path.isEmpty()) return;
    if (const std::optional<std::string> failure =
            ExportStoredAnalysis(program.db(), QFile::encodeName(path).toStdString(), factors,
                                 source, program.locale, program.gIdioma))
        MessageBox::show(window,
                         word("cannotWrite").arg(QDir::toNativeSeparators(path)) + '\n' +
                             QString::fromStdString(*failure),
                         word("error"), MessageBox::Icon::Critical);
}

}  // namespace vpl
