// SPDX-License-Identifier: MIT
#include "AttributeOrder.h"

#include "CodeUnits.h"
#include "DomNavigation.h"

#include <QDomDocument>
#include <QDomElement>
#include <QDomNamedNodeMap>
#include <QString>
#include <QStringConverter>

#include <algorithm>
#include <utility>

namespace {

// A name's UTF-8 bytes as text. QString::fromUtf8 drops a leading U+FEFF,
// which here is no byte-order mark but a character of the name.
QString nameFromUtf8(const char *begin, qsizetype size)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(begin, size));
}

bool sameName(const QString &name, const char *begin, qsizetype size)
{
    // A name beyond ASCII has more UTF-8 bytes than UTF-16 units.
    if (name.size() != size)
        return name.size() < size && name == nameFromUtf8(begin, size);
    for (qsizetype i = 0; i < size; ++i) {
        if (static_cast<uchar>(begin[i]) >= 0x80 || name[i] != QLatin1Char(begin[i]))
            return false;
    }
    return true;
}

// Puts a name the text spells in UTF-8 into key, reusing key's memory.
void spell(const char *begin, qsizetype size, QString *key)
{
    for (qsizetype i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(begin[i]) >= 0x80) {
            *key = nameFromUtf8(begin, size);
            return;
        }
    }
    key->resize(size);
    QChar *out = key->data();
    for (qsizetype i = 0; i < size; ++i)
        out[i] = QLatin1Char(begin[i]);
}

// Puts a name of a UTF-16 or UTF-32 text into key.
template<int Width, bool BigEndian>
void spell(const char *data, SourceTags::Name name, QString *key)
{
    const Units<Width, BigEndian> text { reinterpret_cast<const uchar *>(data) };
    key->resize(0);
    for (qsizetype i = name.offset; i < qsizetype(name.offset) + name.size; ++i) {
        if constexpr (Width == 2)
            key->append(QChar(char16_t(text[i])));
        else
            key->append(QChar::fromUcs4(text[i]));
    }
}

bool byName(const QDomNode &a, const QDomNode &b)
{
    return a.nodeName() < b.nodeName();
}

} // namespace

void AttributeOrder::clear()
{
    m_pendingDocument = QDomDocument();
    m_pendingSource = QByteArray();
    m_tags = SourceTags();
    m_pendingElements = 0;
    m_elements.clear();
    m_attributes.clear();
}

void AttributeOrder::settle()
{
    if (m_pendingDocument.isNull())
        return;
    // Each tag waits for the next element of its name: an element an
    // entity's text made has no tag of its own.
    const QDomDocument document = std::exchange(m_pendingDocument, QDomDocument());
    std::size_t tag = 0;
    const QDomElement root = document.documentElement();
    for (QDomElement element = root; !element.isNull(); element = nextElement(element, root)) {
        const int ordinal = addElement();
        const std::size_t first = tag < m_tags.tags.size() ? m_tags.tags[tag] : 0;
        const bool matched = tag < m_tags.tags.size() && namesEnd(tag) > first
            && sameName(element.nodeName(), m_tags.names[first]);
        const QDomNamedNodeMap map = element.attributes();
        take(map, map.length(), first + 1, matched ? namesEnd(tag) : first + 1);
        m_elements[ordinal].count = m_elements[ordinal].capacity
            = static_cast<std::uint32_t>(m_attributes.size() - m_elements[ordinal].offset);
        tag += matched;
    }
    m_pendingSource = QByteArray();
    m_tags = SourceTags();
}

void AttributeOrder::settle(const QDomNode &element, int ordinal)
{
    settle();
    if (ordinal >= 0 && ordinal < static_cast<int>(m_elements.size())
        && m_elements[ordinal].offset == pending)
        takeFromTag(element, ordinal);
}

int AttributeOrder::addElement()
{
    settle();
    m_elements.emplace_back();
    Range &range = m_elements.back();
    range.offset = static_cast<std::uint32_t>(m_attributes.size());
    return static_cast<int>(m_elements.size() - 1);
}

void AttributeOrder::addAttribute(int ordinal, const QDomNode &attribute)
{
    settle();
    if (ordinal < 0 || ordinal >= static_cast<int>(m_elements.size())
        || m_elements[ordinal].offset == pending)
        return;
    Range &range = m_elements[ordinal];
    if (range.count == range.capacity) {
        if (range.offset + range.capacity == m_attributes.size()) {
            // The last range grows in place.
            m_attributes.emplace_back();
            ++range.capacity;
        } else {
            // Moved to the end with room to spare, so that attributes added
            // to an element after its children cost no more than others.
            const std::uint32_t offset = static_cast<std::uint32_t>(m_attributes.size());
            const std::uint32_t capacity = std::max<std::uint32_t>(4, 2 * range.count);
            m_attributes.resize(offset + capacity);
            std::copy_n(
                m_attributes.begin() + range.offset, range.count, m_attributes.begin() + offset);
            range.offset = offset;
            range.capacity = capacity;
        }
    }
    m_attributes[range.offset + range.count++] = attribute;
}

AttributeOrder::Range AttributeOrder::range(const QDomNode &element, int ordinal)
{
    if (ordinal < 0)
        return Range();
    settle(element, ordinal);
    if (ordinal >= static_cast<int>(m_elements.size())
        || m_elements[ordinal].count != static_cast<std::uint32_t>(element.attributes().length()))
        rebuild(element, ordinal);
    return m_elements[ordinal];
}

void AttributeOrder::rebuild(const QDomNode &element, int ordinal)
{
    const QDomNamedNodeMap map = element.attributes();
    std::vector<QDomNode> sorted;
    for (int i = 0, n = map.length(); i < n; ++i)
        sorted.push_back(map.item(i));
    std::sort(sorted.begin(), sorted.end(), byName);
    if (ordinal >= static_cast<int>(m_elements.size()))
        m_elements.resize(ordinal + 1);
    Range &range = m_elements[ordinal];
    range.offset = static_cast<std::uint32_t>(m_attributes.size());
    range.count = range.capacity = static_cast<std::uint32_t>(sorted.size());
    m_attributes.insert(m_attributes.end(), sorted.begin(), sorted.end());
}

void AttributeOrder::record(const QDomDocument &document, const QByteArray &source, SourceTags tags)
{
    clear();
    // Past 4 GiB the order is by name: rebuilt element by element.
    if (!tags.usable)
        return;
    m_pendingSource = source;
    m_tags = std::move(tags);
    if (m_tags.byName) {
        m_pendingDocument = document;
        return;
    }
    m_pendingElements = m_tags.tags.size();
    m_elements.assign(m_pendingElements, Range { pending, 0, 0 });
    if (m_pendingElements == 0)
        clear();
}

void AttributeOrder::takeFromTag(const QDomNode &element, int ordinal)
{
    Range &range = m_elements[ordinal];
    range.offset = static_cast<std::uint32_t>(m_attributes.size());
    const QDomNamedNodeMap map = element.attributes();
    const int count = map.length();
    const std::size_t first = m_tags.tags[ordinal];
    const std::size_t end = namesEnd(ordinal);
    // The tag of every element, in a text without DOCTYPE; were it another's,
    // the attributes would follow by name.
    const bool matched
        = count >= 2 && end > first && sameName(element.nodeName(), m_tags.names[first]);
    take(map, count, first + 1, matched ? end : first + 1);
    range.count = range.capacity = static_cast<std::uint32_t>(m_attributes.size() - range.offset);
    if (--m_pendingElements == 0) {
        m_pendingSource = QByteArray();
        m_tags = SourceTags();
    }
}

std::size_t AttributeOrder::namesEnd(std::size_t tag) const
{
    return tag + 1 < m_tags.tags.size() ? m_tags.tags[tag + 1] : m_tags.names.size();
}

void AttributeOrder::spell(SourceTags::Name name, QString *text) const
{
    const char *data = m_pendingSource.constData();
    switch (m_tags.width * (m_tags.bigEndian ? -1 : 1)) {
    case 2:
        return ::spell<2, false>(data, name, text);
    case -2:
        return ::spell<2, true>(data, name, text);
    case 4:
        return ::spell<4, false>(data, name, text);
    case -4:
        return ::spell<4, true>(data, name, text);
    default:
        return ::spell(data + name.offset, name.size, text);
    }
}

bool AttributeOrder::sameName(const QString &name, SourceTags::Name noted)
{
    if (m_tags.width == 1)
        return ::sameName(name, m_pendingSource.constData() + noted.offset, noted.size);
    spell(noted, &m_key);
    return name == m_key;
}

// Appends the attributes of map in the order of the noted names [first,
// end), then those the names miss (defaults from the DTD), by name.
void AttributeOrder::take(
    const QDomNamedNodeMap &map, int count, std::size_t first, std::size_t end)
{
    const auto taken = m_attributes.size();
    if (count == 1)
        m_attributes.push_back(map.item(0));
    if (count < 2)
        return;
    // A lookup by name costs less than Qt's item(i), which steps through
    // the hash's buckets from its start.
    for (std::size_t k = first; k < end; ++k) {
        spell(m_tags.names[k], &m_key);
        const QDomNode node = attributeNamed(map, m_key, &m_local);
        if (!node.isNull())
            m_attributes.push_back(node);
    }
    if (m_attributes.size() - taken == std::size_t(count))
        return;
    std::vector<QDomNode> extra;
    for (int i = 0; i < count; ++i) {
        const QDomNode node = map.item(i);
        if (std::find(m_attributes.begin() + taken, m_attributes.end(), node) == m_attributes.end())
            extra.push_back(node);
    }
    std::sort(extra.begin(), extra.end(), byName);
    m_attributes.insert(m_attributes.end(), extra.begin(), extra.end());
}
