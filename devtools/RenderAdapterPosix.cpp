#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#include <QDir>
#include <QFile>

#include "RenderAdapter.h"

// A pseudo-terminal linked into the program's device folder as ttyUSB0.
StandInAdapter::StandInAdapter(const QString& devicesFolder) {
    m_handle = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_handle >= 0 && grantpt(m_handle) == 0 && unlockpt(m_handle) == 0)
        QFile::link(QString::fromLocal8Bit(ptsname(m_handle)), QDir(devicesFolder).filePath(QStringLiteral("ttyUSB0")));
}

StandInAdapter::~StandInAdapter() {
    if (m_handle >= 0) close(m_handle);
}
