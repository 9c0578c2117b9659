#include "analysis/spreadsheet_export.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "core/translated.h"
#include "decision/decision.h"
#include "export/workbook.h"
#include "shell/controls.h"
#include "shell/file_dialog.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "store/database.h"

namespace vpl {

QString ProposedDocumentPath(Program& program, const QString& suffix) {
    QString question;
    try {
        question = qs(decision::ReadQuestion(program.db()));
    } catch (const store::StoreError&) {
        // The name is only a proposal: a damaged Cadastro does not stop the export.
    }
    QString name;
    for (const QChar c : question) name += c.isLetterOrNumber() || c == '-' ? c : QChar(' ');
    name = name.simplified().left(60).trimmed();
    if (name.isEmpty()) name = QStringLiteral("Velmar Paraconsistent Logic");
    name += ' ' + QDate::currentDate().toString(Qt::ISODate) + '.' + suffix;
    // The dialog opens a folder that does not exist in the working folder, which may be the
    // program's own: the documents folder is made when it is missing.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const bool usable = !folder.isEmpty() && QDir().mkpath(folder);
    return QDir(usable ? folder : QDir::homePath()).filePath(name);
}

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
