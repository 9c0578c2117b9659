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
#include <tuple>

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

namespace {

QString lockFileFor(const QString& dataFile) {
    // One lock per data file, however it is named: two instances never write to one file.
    const QFileInfo file(dataFile);
    const QString canonical = file.canonicalFilePath();
    const QByteArray name = (canonical.isEmpty() ? file.absoluteFilePath() : canonical).toUtf8();
    const QString tag = QString::fromLatin1(
        QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex().left(16));
    return QDir(lockFolder()).filePath(QStringLiteral("vpl-%1.lock").arg(tag));
}

// Claims a data file's lock; not claimed when another instance of this user holds it.
std::pair<bool, std::unique_ptr<QLockFile>> claimLock(const QString& lockPath) {
    QDir().mkpath(QFileInfo(lockPath).path());
    // Only an administrator can put another user's file into the user's own folder; it
    // says nothing about this user's instances, and is taken away.
    if (ownedByAnother(lockPath) && !QFile::remove(lockPath)) {
        qWarning("vpl: %s belongs to another user; the program runs without its lock",
                 qUtf8Printable(QDir::toNativeSeparators(lockPath)));
        return {true, nullptr};
    }
    auto lock = std::make_unique<QLockFile>(lockPath);
    lock->setStaleLockTime(0);  // a lock left by a crashed instance is taken over
    if (lock->tryLock(0)) return {true, std::move(lock)};
    // Only a running instance of this user holds the file; a lock that cannot be made (a
    // folder that cannot be written) does not.
    if (lock->error() == QLockFile::LockFailedError && !ownedByAnother(lockPath))
        return {false, nullptr};
    qWarning("vpl: the lock %s cannot be taken; the program runs without it",
             qUtf8Printable(QDir::toNativeSeparators(lockPath)));
    return {true, nullptr};
}

}  // namespace

QString Program::instanceLockFile() const {
    return lockFileFor(dataFile_);
}

bool Program::claimSingleInstance() {
    if (instanceLock_ || instanceClaimed_) return true;
    auto [claimed, lock] = claimLock(instanceLockFile());
    instanceLock_ = std::move(lock);
    instanceClaimed_ = claimed;
    return claimed;
}

Program::OtherFile Program::claimOther(const QString& file) const {
    OtherFile other;
    other.path = QFileInfo(file).absoluteFilePath();
    std::tie(other.claimed, other.lock) = claimLock(lockFileFor(other.path));
    return other;
}

void Program::switchTo(OtherFile other) {
    const auto access =
        other.claimed ? store::Database::Access::AsTheFileAllows : store::Database::Access::ReadOnly;
    std::unique_ptr<store::Database> opened =
        store::Database::open(other.path.toStdString(), store::kDatabaseKey, access,
                              store::KeptKeys(keptKeysFolder()));
    // The open file is closed (its log folded back) before its lock goes.
    dbBanco = std::move(opened);
    instanceLock_ = std::move(other.lock);
    instanceClaimed_ = other.claimed;
    dataFile_ = other.path;
    dataFileNamed_ = true;
    // The results of the last analysis were another file's.
    gG1 = {};
    gG2 = {};
    gG1n = 0;
    gG2n = 0;
    gPares.clear();
    gParesSaoFatores = false;
}

void Program::startOpening() {
    opening_ = std::async(std::launch::async, openKeepingTheKey, dataFilePath().toStdString(),
                          keptKeysFolder());
}

std::unique_ptr<store::Database> Program::takeOpened() {
    if (!opening_.valid()) return openKeepingTheKey(dataFilePath().toStdString(), keptKeysFolder());
    return opening_.get();
}

store::KeptKeys Program::keptKeys() const {
    return store::KeptKeys(keptKeysFolder());
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
