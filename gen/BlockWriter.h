#ifndef ZGQX_BLOCKWRITER_H
#define ZGQX_BLOCKWRITER_H

#include <QByteArray>
#include <QIODevice>

// Collects small writes and hands them on to another device in large blocks.
// QDomDocument::save() ends every line with a flush of its QTextStream, and
// the stream flushes a file device with it: written to a file directly, a
// save costs a system call per line.
class BlockWriter : public QIODevice
{
public:
    // target must be open for writing and outlive this device.
    explicit BlockWriter(QIODevice *target);

    // Hands on what is collected; false when any write to the target failed.
    bool finish();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool handOn();

    QIODevice *m_target;
    QByteArray m_block;
    bool m_failed = false;
};

#endif // ZGQX_BLOCKWRITER_H
