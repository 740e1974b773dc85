#include "BlockWriter.h"

namespace {
constexpr qsizetype blockSize = 64 * 1024;
}

BlockWriter::BlockWriter(QIODevice *target)
    : m_target(target)
{
    m_block.reserve(blockSize);
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool BlockWriter::finish()
{
    return handOn();
}

qint64 BlockWriter::readData(char *, qint64)
{
    return -1;
}

qint64 BlockWriter::writeData(const char *data, qint64 size)
{
    if (m_failed)
        return -1;
    m_block.append(data, size);
    if (m_block.size() >= blockSize && !handOn())
        return -1;
    return size;
}

bool BlockWriter::handOn()
{
    if (!m_failed && !m_block.isEmpty()) {
        m_failed = m_target->write(m_block) != m_block.size();
        m_block.resize(0); // keeps the allocation for the next block
    }
    return !m_failed;
}
