#include "report/report_actions.h"

#include <QDate>
#include <QDir>
#include <QPrinter>
#include <QStandardPaths>
#include <optional>

#include "report/picture_files.h"
#include "report/stored_analysis.h"
#include "shell/controls.h"
#include "shell/file_dialog.h"
#include "shell/message_box.h"
#include "shell/pictures.h"
#include "shell/printers.h"
#include "shell/program.h"
#include "store/database.h"

namespace vpl {

namespace {

// The documents folder, made when it is missing, since the dialog would open a folder that
// does not exist in the working folder, which may be the program's own.
QString documentsFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const bool usable = !folder.isEmpty() && QDir().mkpath(folder);
    return usable ? folder : QDir::homePath();
}

void cannotWrite(QWidget* parent, const QString& path, const QString& failure) {
    MessageBox::show(parent,
                     QString::fromUtf8("Não foi possível gravar o arquivo \"%1\".\n%2")
                         .arg(QDir::toNativeSeparators(path), failure),
                     QStringLiteral("Erro"), MessageBox::Icon::Critical);
}

}  // namespace

QString ProposedDocumentPath(Program& program, const QString& suffix) {
    QString question;
    try {
        question = qs(decision::ReadQuestion(program.db()));
    } catch (const store::StoreError&) {
        // The name is only a proposal: a damaged Cadastro does not stop the document.
    }
    QString name;
    for (const QChar c : question) name += c.isLetterOrNumber() || c == '-' ? c : QChar(' ');
    name = name.simplified().left(60).trimmed();
    if (name.isEmpty()) name = QStringLiteral("Velmar Paraconsistent Logic");
    name += ' ' + QDate::currentDate().toString(Qt::ISODate) + '.' + suffix;
    return QDir(documentsFolder()).filePath(name);
}

void PrintReportOnPickedPrinter(QWidget* parent, Program& program, PrinterBox& box,
                                const std::function<ReportData()>& data, const Picture& network) {
    // A click before the list has come waits for it.
    if (box.printers().installed.isEmpty()) box.showPrinters(Printers::known());
    const std::optional<QString> printer =
        SelecionarImpressora(box.printers().installed, box.currentText());
    if (!printer) {
        MessageBox::show(parent, QString::fromUtf8("Impressora não encontrada"),
                         QStringLiteral("Verifique."), MessageBox::Icon::Critical);
        return;
    }
    program.currentPrinter = *printer;
    const ReportData report = data();

    QPrinter job(QPrinter::HighResolution);
    job.setPrinterName(*printer);
    job.setPageOrientation(QPageLayout::Portrait);
    job.setDocName(QStringLiteral("Velmar Paraconsistent Logic"));
    // A printer the service no longer knows is silently replaced by the default one: that
    // job must not go to another printer than the one chosen.
    const bool known = job.printerName() == *printer;
    if (!known || !PrintReportOn(job, report, network) || job.printerState() == QPrinter::Error)
        MessageBox::show(parent,
                         QString::fromUtf8("O serviço de impressão não aceitou o trabalho "
                                           "para a impressora \"%1\".")
                             .arg(*printer),
                         QStringLiteral("Erro"), MessageBox::Icon::Critical);
    else  // where it went: the printer that the typed name matched
        MessageBox::show(
            parent, QString::fromUtf8("O relatório foi enviado à impressora \"%1\".").arg(*printer),
            QString::fromUtf8("Impressão"), MessageBox::Icon::None);
}

void SaveReportPdfAsked(QWidget* parent, Program& program, const ReportData& data,
                        const Picture& network) {
    const QString path =
        FileDialog::saveFileName(parent, QStringLiteral("Salvar PDF"), ProposedDocumentPath(program, QStringLiteral("pdf")),
                                 QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty()) return;
    if (const std::optional<QString> failure = WriteReportPdf(path, data, network))
        cannotWrite(parent, path, *failure);
}

void SavePictureAsked(QWidget* parent, const Picture& picture, const QString& name) {
    const QString path = FileDialog::saveFileName(
        parent, QStringLiteral("Salvar imagem"), QDir(documentsFolder()).filePath(name + ".svg"),
        QStringLiteral("SVG (*.svg);;PNG (*.png)"), QStringLiteral("svg"));
    if (path.isEmpty()) return;
    const std::optional<PictureFormat> format = PictureFormatOf(path);
    if (!format) {
        MessageBox::show(parent,
                         QString::fromUtf8("Escolha um arquivo .svg ou .png para a imagem."),
                         QStringLiteral("Erro"), MessageBox::Icon::Critical);
        return;
    }
    if (const std::optional<QString> failure = SavePicture(picture, path, *format))
        cannotWrite(parent, path, *failure);
}

}  // namespace vpl
