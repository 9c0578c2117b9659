#include "shell/data_location.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "store/schema.h"

namespace vpl {

namespace {

QString dataFileIn(const QString& folder) {
    return QDir(folder).filePath(QString::fromUtf8(store::kDataFileName));
}

// Copies `from` to `to` by way of a temporary file in the target folder, so that `to`
// is either absent or whole; a file that appeared at `to` meanwhile is kept.
void copyWhole(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) return;
    QTemporaryFile part(to + QStringLiteral(".XXXXXX"));
    if (!part.open()) return;
    if (part.write(source.readAll()) != source.size() || !part.flush()) return;
#ifdef Q_OS_UNIX
    // On disk before it gets its name: a crash must not leave an empty data file.
    if (::fsync(part.handle()) != 0) return;
#endif
    part.close();
    // Renaming never replaces an existing file; the temporary one is then removed.
    QFile::rename(part.fileName(), to);
}

}  // namespace

QString chooseDataFile(const QString& programDir, bool besideProgram, const QString& userDir,
                       const QString& templateFile) {
    if (besideProgram) return dataFileIn(programDir);
    const QString file = dataFileIn(userDir);
    if (!QFileInfo::exists(file) && QDir().mkpath(userDir)) copyWhole(templateFile, file);
    return file;
}

bool keepsDataBeside(const QString& programDir, const QString& templateFile) {
    if (QFileInfo::exists(templateFile)) return false;
    if (QFileInfo::exists(dataFileIn(programDir))) return true;
    // Permission bits alone miss read-only mounts and access lists: try a file.
    QTemporaryFile probe(QDir(programDir).filePath(QStringLiteral(".vpl-probe-XXXXXX")));
    return QFileInfo(programDir).isWritable() && probe.open();
}

QString installedTemplate(const QString& programDir) {
    return QDir::cleanPath(QDir(programDir).filePath(QStringLiteral(VPL_TEMPLATE_FOLDER)) + '/' +
                           QString::fromUtf8(store::kDataFileName));
}

QString userDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString locateDataFile(const QString& programDir) {
    const QString templateFile = installedTemplate(programDir);
    return chooseDataFile(programDir, keepsDataBeside(programDir, templateFile), userDataFolder(),
                          templateFile);
}

}  // namespace vpl
