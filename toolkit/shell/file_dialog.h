#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace vpl {

// The standard file dialog, through one seam so that tests can answer it.
class FileDialog {
  public:
    // The file to save to, empty when the user cancelled. The dialog proposes `proposed`,
    // adds `suffix` to a name typed without one and asks before a file is overwritten.
    static QString saveFileName(QWidget* parent, const QString& caption, const QString& proposed,
                                const QString& filter, const QString& suffix);

    // An existing file to open, empty when the user cancelled.
    static QString openFileName(QWidget* parent, const QString& caption, const QString& filter);
    // Existing files to open, none when the user cancelled. A fake answers with one file
    // per line.
    static QStringList openFileNames(QWidget* parent, const QString& caption,
                                     const QString& filter);

    // Tests: the next dialogs are answered by `answer`, given what they propose.
    static void setFake(std::function<QString(const QString& proposed)> answer);
    static void clearFake();
};

}  // namespace vpl
