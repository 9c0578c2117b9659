#include "shell/recent_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace vpl {

namespace {

constexpr const char* kKey = "recentFiles";

}  // namespace

RecentFiles::RecentFiles(QString settingsFile) : settingsFile_(std::move(settingsFile)) {}

QString RecentFiles::defaultSettingsFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath("vpl.ini");
}

QStringList RecentFiles::files() const {
    QStringList files = QSettings(settingsFile_, QSettings::IniFormat).value(kKey).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    return files.mid(0, kKept);
}

void RecentFiles::add(const QString& file) {
    const QString path = QFileInfo(file).absoluteFilePath();
    QStringList list = files();
    list.removeAll(path);
    list.prepend(path);
    store(list.mid(0, kKept));
}

void RecentFiles::removeMissing() {
    QStringList list = files();
    list.removeIf([](const QString& file) { return !QFileInfo::exists(file); });
    store(list);
}

void RecentFiles::store(const QStringList& files) {
    QSettings settings(settingsFile_, QSettings::IniFormat);
    settings.setValue(kKey, files);
}

}  // namespace vpl
