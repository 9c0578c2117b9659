#include "shell/program.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QStandardPaths>

#include "shell/data_location.h"
#include "store/schema.h"

namespace vpl {

Program::Program(QString dir, core::NumberLocale numberLocale, QString namedDataFile)
    : appDir(std::move(dir)),
      locale(numberLocale),
      dataFile_(namedDataFile.isEmpty() ? locateDataFile(appDir)
                                        : QFileInfo(namedDataFile).absoluteFilePath()),
      dataFileNamed_(!namedDataFile.isEmpty()) {}

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

namespace {

// A folder that only this user writes to: the session's runtime folder, else the user's
// data folder. Never the shared temporary folder, where anybody could make the lock first.
QString lockFolder() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty() && QFileInfo(runtime).ownerId() == ::geteuid()) return runtime;
    }
    return userDataFolder();
}

// Something of another user, or a link, where the lock file goes: no instance of this user.
bool ownedByAnother(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return false;
    return status.st_uid != ::geteuid() || !S_ISREG(status.st_mode);
}

}  // namespace

QString Program::instanceLockFile() const {
    // One lock per data file, however it is named: two instances never write to one file.
    const QFileInfo file(dataFile_);
    const QString canonical = file.canonicalFilePath();
    const QByteArray name = (canonical.isEmpty() ? file.absoluteFilePath() : canonical).toUtf8();
    const QString tag = QString::fromLatin1(
        QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex().left(16));
    return QDir(lockFolder()).filePath(QStringLiteral("vpl-%1.lock").arg(tag));
}

bool Program::claimSingleInstance() {
    if (instanceLock_) return true;
    const QString lockPath = instanceLockFile();
    QDir().mkpath(QFileInfo(lockPath).path());
    // Only an administrator can put another user's file into the user's own folder; it
    // says nothing about this user's instances, and is taken away.
    if (ownedByAnother(lockPath) && !QFile::remove(lockPath)) {
        qWarning("vpl: %s belongs to another user; the program runs without its lock",
                 qUtf8Printable(QDir::toNativeSeparators(lockPath)));
        return true;
    }
    auto lock = std::make_unique<QLockFile>(lockPath);
    lock->setStaleLockTime(0);  // a lock left by a crashed instance is taken over
    if (lock->tryLock(0)) {
        instanceLock_ = std::move(lock);
        return true;
    }
    // Only a running instance of this user ends the program; a lock that cannot be made
    // (a folder that cannot be written) does not.
    if (lock->error() == QLockFile::LockFailedError && !ownedByAnother(lockPath)) return false;
    qWarning("vpl: the lock %s cannot be taken; the program runs without it",
             qUtf8Printable(QDir::toNativeSeparators(lockPath)));
    return true;
}

namespace {

// The data file's derived key is kept among the user's cached files: a start then needs
// not derive it again.
std::unique_ptr<store::Database> openKeepingTheKey(const std::string& file,
                                                   const std::filesystem::path& keptKeys) {
    return store::Database::open(file, store::kDatabaseKey,
                                 store::Database::Access::AsTheFileAllows,
                                 store::KeptKeys(keptKeys));
}

std::filesystem::path keptKeysFolder() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cache.isEmpty()) return {};
    return std::filesystem::path(cache.toStdString()) / "keys";
}

}  // namespace

void Program::startOpening() {
    opening_ = std::async(std::launch::async, openKeepingTheKey, dataFilePath().toStdString(),
                          keptKeysFolder());
}

std::unique_ptr<store::Database> Program::takeOpened() {
    if (!opening_.valid()) return openKeepingTheKey(dataFilePath().toStdString(), keptKeysFolder());
    return opening_.get();
}

std::unique_ptr<store::Database> Program::openForReading() {
    return store::Database::open(dataFilePath().toStdString(), store::kDatabaseKey,
                                 store::Database::Access::ReadOnly,
                                 store::KeptKeys(keptKeysFolder()));
}

core::NumberLocale systemNumberLocale() {
    const QString point = QLocale::system().decimalPoint();
    return core::NumberLocale{point == QStringLiteral(",") ? ',' : '.'};
}

}  // namespace vpl
