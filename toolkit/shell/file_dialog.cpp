#include "shell/file_dialog.h"

#include <QFileDialog>

namespace vpl {

namespace {

std::function<QString(const QString&)>& fake() {
    static std::function<QString(const QString&)> answer;
    return answer;
}

}  // namespace

QString FileDialog::saveFileName(QWidget* parent, const QString& caption, const QString& proposed,
                                 const QString& filter, const QString& suffix) {
    if (fake()) return fake()(proposed);
    QFileDialog dialog(parent, caption, proposed, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

QString FileDialog::openFileName(QWidget* parent, const QString& caption, const QString& filter) {
    if (fake()) return fake()(QString());
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QStringList FileDialog::openFileNames(QWidget* parent, const QString& caption,
                                      const QString& filter) {
    if (fake()) return fake()(QString()).split('\n', Qt::SkipEmptyParts);
    return QFileDialog::getOpenFileNames(parent, caption, QString(), filter);
}

void FileDialog::setFake(std::function<QString(const QString&)> answer) {
    fake() = std::move(answer);
}

void FileDialog::clearFake() {
    fake() = nullptr;
}

}  // namespace vpl
