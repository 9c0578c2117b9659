#include <QDir>
#include "tests/support/test_support.h"

#include <QFile>

#include "shell/message_box.h"
#include "shell/printers.h"
#include "store/schema.h"

namespace vpl::test {

Fixture::Fixture(core::NumberLocale locale) {
    if (!dir_.isValid()) qFatal("no temporary folder");
    program_ = std::make_unique<Program>(dir_.path(), locale);
    program_->recentFiles = RecentFiles(QDir(dir_.path()).filePath("settings.ini"));
    store::createDeliveredFile(program_->dataFilePath().toStdString());
    reopen();
}

void Fixture::damage(const QString& sql) {
    if (sql.isEmpty())
        program_->dbBanco.reset();
    else
        db().execute(sql.toStdString());
}

void Fixture::reopen() {
    program_->dbBanco.reset();
    program_->dbBanco =
        store::Database::open(program_->dataFilePath().toStdString(), store::kDatabaseKey);
}

void Fixture::reopenReadOnly() {
    program_->dbBanco.reset();
    QFile::setPermissions(program_->dataFilePath(),
                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    program_->dbBanco =
        store::Database::open(program_->dataFilePath().toStdString(), store::kDatabaseKey,
                              store::Database::Access::ReadOnly);
}

void recordMessagesWithOnePdfPrinter() {
    MessageBox::setTestMode(true);
    MessageBox::clearShown();
    Printers::setFake({"PDF"}, "PDF");
}

}  // namespace vpl::test
