#pragma once

// The set-up the window benchmarks share: the application offscreen with the
// program's looks, and a program folder of its own whose last project is
// Plant1, with the files the benchmark asks for.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "ui/Dialogs.h"
#include "ui/Style.h"

namespace bench {

inline void writeOrExit(const QString& path, const QByteArray& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

// Before the QApplication: the offscreen platform unless another is asked for.
inline void useOffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

class ProgramFolder {
public:
    // projectFiles: names below PROJECTS/Plant1 and their contents.
    explicit ProgramFolder(const std::vector<std::pair<QString, QByteArray>>& projectFiles) {
        const QDir folder(m_folder.path());
        folder.mkpath(QStringLiteral("PROJECTS/Plant1/bin"));
        writeOrExit(folder.filePath(QStringLiteral("Tessaro_Ru2Doror.ini")), "[lastproj]\r\nprojectname=/Plant1\r\n");
        for (const auto& [name, text] : projectFiles)
            writeOrExit(folder.filePath(QStringLiteral("PROJECTS/Plant1/") + name), text);
        ui::Dialogs::startRecording();  // a failure would be recorded, never block
    }
    std::string path() const { return m_folder.path().toStdString(); }
    QString projectFile(const QString& name) const {
        return QDir(m_folder.path()).filePath(QStringLiteral("PROJECTS/Plant1/") + name);
    }

private:
    QTemporaryDir m_folder;
};

}  // namespace bench
