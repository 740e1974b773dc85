// SPDX-License-Identifier: MIT
#include "OutputFile.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

OutputFile::OutputFile(const QString &path)
    : m_replacement(path)
    , m_direct(path)
{
    const QFileInfo info(path);
    m_inPlace = info.exists() && !info.isFile();
    // Where no temporary file can be made beside the target, write it directly.
    m_replacement.setDirectWriteFallback(true);
}

bool OutputFile::open()
{
    // QSaveFile would accept an empty name and fail only at commit.
    if (m_direct.fileName().isEmpty())
        return false;
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Text;
    return m_inPlace ? m_direct.open(mode) : m_replacement.open(mode);
}

QIODevice *OutputFile::device()
{
    return m_inPlace ? static_cast<QIODevice *>(&m_direct) : &m_replacement;
}

bool OutputFile::commit()
{
    if (!m_inPlace) {
        if (!m_replacement.commit())
            return false;
            // The rename is in the directory, not yet on the disk: until the
            // directory is synced, a power failure can bring the old file back
            // or lose the name altogether. The new content is in place by now,
            // so a directory that cannot be synced does not fail the save.
#ifdef Q_OS_UNIX
        const QByteArray directory
            = QFile::encodeName(QFileInfo(m_replacement.fileName()).absolutePath());
        const int fd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
#endif
        return true;
    }
    const bool flushed = m_direct.flush();
    m_direct.close();
    return flushed && m_direct.error() == QFileDevice::NoError;
}

void OutputFile::cancel()
{
    // The temporary file is discarded when the object goes; a file written in
    // place is closed then.
    if (!m_inPlace)
        m_replacement.cancelWriting();
}
