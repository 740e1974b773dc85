// SPDX-License-Identifier: MIT
#ifndef ZGQX_OUTPUTFILE_H
#define ZGQX_OUTPUTFILE_H

#include <QFile>
#include <QSaveFile>

// The file a save writes. An existing regular file is replaced only once
// everything has been written, so a failed save leaves it whole. Anything
// else that exists at the path (a device, a FIFO) is written in place: a
// replacement would turn it into a regular file.
class OutputFile
{
public:
    explicit OutputFile(const QString &path);

    // Opens write-only in text mode.
    bool open();
    QIODevice *device();
    // Finishes the write; false when any write, flush or close failed.
    bool commit();
    // Gives up: the previous content of a replaced file stays.
    void cancel();

private:
    QSaveFile m_replacement;
    QFile m_direct;
    bool m_inPlace;
};

#endif // ZGQX_OUTPUTFILE_H
