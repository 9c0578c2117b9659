#include "shell/program.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocale>
#include <QLockFile>
#include <QStandardPaths>

#include "shell/data_location.h"
#include "store/schema.h"

namespace vpl {

std::int16_t languageFromStored(std::optional<double> stored) {
    if (stored == double(Language::English)) return Language::English;
    if (stored == double(Language::Spanish)) return Language::Spanish;
    return Language::Portuguese;
}

Program::Program(QString dir, core::NumberLocale numberLocale)
    : appDir(std::move(dir)), locale(numberLocale), dataFile_(locateDataFile(appDir)) {}

Program::~Program() = default;

void Program::open(WindowId id, QWidget* parent) {
    if (opener) opener(id, parent);
}

store::Database& Program::db() {
    if (!dbBanco)
        throw store::StoreError(
            "O banco de dados não está aberto: o arquivo " + dataFilePath().toStdString() +
            " não pôde ser aberto na inicialização. Corrija o arquivo e reinicie o programa.");
    return *dbBanco;
}

bool Program::claimSingleInstance() {
    if (instanceLock_) return true;
    // One lock per program folder and user, in the user's runtime or temp folder.
    const QByteArray folder = QDir(appDir).canonicalPath().toUtf8();
    const QString tag = QString::fromLatin1(
        QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16));
    QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME", "user"));
    const QString lockPath =
        QDir(QDir::tempPath()).filePath(QStringLiteral("vpl-%1-%2.lock").arg(user, tag));
    auto lock = std::make_unique<QLockFile>(lockPath);
    lock->setStaleLockTime(0);  // a lock left by a crashed instance is taken over
    if (!lock->tryLock(0)) return false;
    instanceLock_ = std::move(lock);
    return true;
}

void Program::startOpening() {
    opening_ = std::async(std::launch::async, [file = dataFilePath().toStdString()] {
        return store::Database::open(file, store::kDatabaseKey);
    });
}

std::unique_ptr<store::Database> Program::takeOpened() {
    if (!opening_.valid())
        return store::Database::open(dataFilePath().toStdString(), store::kDatabaseKey);
    return opening_.get();
}

core::NumberLocale systemNumberLocale() {
    const QString point = QLocale::system().decimalPoint();
    return core::NumberLocale{point == QStringLiteral(",") ? ',' : '.'};
}

}  // namespace vpl
