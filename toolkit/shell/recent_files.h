#pragma once

#include <QString>
#include <QStringList>

namespace vpl {

// The data files the user opened last, newest first, kept in the user's settings.
class RecentFiles {
  public:
    static constexpr int kKept = 8;
    // The settings file holding the list; by default the user's own.
    explicit RecentFiles(QString settingsFile = defaultSettingsFile());

    QStringList files() const;
    // Puts the file first; the oldest beyond kKept goes.
    void add(const QString& file);
    // Forgets the files that are no longer there.
    void removeMissing();

    static QString defaultSettingsFile();
    // The settings file, which keeps the program's other choices too.
    const QString& settingsFile() const { return settingsFile_; }

  private:
    void store(const QStringList& files);
    QString settingsFile_;
};

}  // namespace vpl
