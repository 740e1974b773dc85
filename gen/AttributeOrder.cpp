// SPDX-License-Identifier: MIT
#include "AttributeOrder.h"

#include "DomNavigation.h"

#include <QDomDocument>
#include <QDomElement>
#include <QDomNamedNodeMap>
#include <QString>
#include <QStringConverter>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace {

template<typename Char>
struct NameSpan
{
    const Char *begin;
    qsizetype size;
};

// Hands out the start tags of an XML text one by one: the tag's name and the
// names of its attributes, namespace declarations left out. Comments, CDATA,
// processing instructions and declarations are passed over.
template<typename Char>
class StartTags
{
public:
    using Span = NameSpan<Char>;

    StartTags(const Char *text, qsizetype size)
        : m_text(text)
        , m_size(size)
    {
    }

    // Moves to the next start tag; false when there is none.
    bool next()
    {
        m_attributes.clear();
        while (m_pos < m_size) {
            if (m_text[m_pos] != Char('<')) {
                m_pos = find(Char('<'), m_pos);
            } else if (startsWith("<!--")) {
                skipPast(m_pos + 4, "-->");
            } else if (startsWith("<![CDATA[")) {
                skipPast(m_pos + 9, "]]>");
            } else if (startsWith("<?")) {
                skipPast(m_pos + 2, "?>");
            } else if (startsWith("<!")) {
                skipDeclaration();
            } else if (at(m_pos + 1) == Char('/')) {
                skipPast(m_pos + 2, ">");
            } else {
                readTag();
                return true;
            }
        }
        return false;
    }

    Span name() const { return m_name; }
    const std::vector<Span> &attributes() const { return m_attributes; }

private:
    Char at(qsizetype i) const { return i < m_size ? m_text[i] : Char(0); }
    // Offset of the next c at or after from, or the size.
    qsizetype find(Char c, qsizetype from) const
    {
        if constexpr (sizeof(Char) == 1) {
            const void *found = std::memchr(m_text + from, c, size_t(m_size - from));
            return found ? static_cast<const Char *>(found) - m_text : m_size;
        } else {
            while (from < m_size && m_text[from] != c)
                ++from;
            return from;
        }
    }
    bool startsWith(const char *literal) const
    {
        for (qsizetype i = m_pos; *literal; ++literal, ++i) {
            if (at(i) != Char(*literal))
                return false;
        }
        return true;
    }
    void skipPast(qsizetype from, const char *literal)
    {
        m_pos = from;
        while (m_pos < m_size && !startsWith(literal))
            ++m_pos;
        m_pos = std::min(m_size, m_pos + qsizetype(qstrlen(literal)));
    }
    // A declaration such as DOCTYPE: its internal subset may hold quoted '>'
    // and comments.
    void skipDeclaration()
    {
        int brackets = 0;
        Char quote = 0;
        for (m_pos += 2; m_pos < m_size; ++m_pos) {
            const Char c = m_text[m_pos];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == Char('"') || c == Char('\'')) {
                quote = c;
            } else if (startsWith("<!--")) {
                skipPast(m_pos + 4, "-->");
                --m_pos;
            } else if (c == Char('[')) {
                ++brackets;
            } else if (c == Char(']')) {
                --brackets;
            } else if (c == Char('>') && brackets <= 0) {
                ++m_pos;
                return;
            }
        }
    }
    static bool isSpace(Char c)
    {
        return c == Char(' ') || c == Char('\t') || c == Char('\n') || c == Char('\r');
    }
    qsizetype nameEnd(qsizetype i) const
    {
        while (i < m_size && !isSpace(m_text[i]) && m_text[i] != Char('/') && m_text[i] != Char('>')
            && m_text[i] != Char('='))
            ++i;
        return i;
    }
    void readTag()
    {
        qsizetype i = m_pos + 1;
        qsizetype end = nameEnd(i);
        m_name = { m_text + i, end - i };
        i = end;
        for (;;) {
            while (i < m_size && isSpace(m_text[i]))
                ++i;
            if (i >= m_size || m_text[i] == Char('>') || m_text[i] == Char('/'))
                break;
            end = nameEnd(i);
            const Span attribute { m_text + i, end - i };
            i = end;
            while (i < m_size && m_text[i] != Char('"') && m_text[i] != Char('\''))
                ++i;
            i = i < m_size ? find(m_text[i], i + 1) + 1 : m_size;
            if (!isNamespaceDeclaration(attribute) && attribute.size > 0)
                m_attributes.push_back(attribute);
        }
        m_pos = i;
    }
    static bool isNamespaceDeclaration(Span name)
    {
        static const char xmlns[] = "xmlns";
        if (name.size < 5)
            return false;
        for (int i = 0; i < 5; ++i) {
            if (name.begin[i] != Char(xmlns[i]))
                return false;
        }
        return name.size == 5 || name.begin[5] == Char(':');
    }

    const Char *m_text;
    qsizetype m_size;
    qsizetype m_pos = 0;
    Span m_name { nullptr, 0 };
    std::vector<Span> m_attributes;
};

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

bool sameName(const QString &name, const char16_t *begin, qsizetype size)
{
    return QStringView(begin, size) == name;
}

// Puts the name a tag spells into key, reusing key's memory.
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

void spell(const char16_t *begin, qsizetype size, QString *key)
{
    key->resize(size);
    std::copy(begin, begin + size, key->data());
}

// The names a tag noted in SourceTags gives its attributes.
class TagNames
{
public:
    TagNames(const char *text, const SourceTags::Name *first, std::size_t count)
        : m_text(text)
        , m_first(first)
        , m_count(count)
    {
    }
    std::size_t size() const { return m_count; }
    NameSpan<char> operator[](std::size_t i) const
    {
        return { m_text + m_first[i].offset, m_first[i].size };
    }

private:
    const char *m_text;
    const SourceTags::Name *m_first;
    std::size_t m_count;
};

// The name of the tag whose '<' is at tag.
NameSpan<char> tagName(const char *tag, const char *end)
{
    const char *name = tag + 1;
    const char *past = name;
    while (past < end && *past != ' ' && *past != '\t' && *past != '\n' && *past != '\r'
        && *past != '/' && *past != '>')
        ++past;
    return { name, past - name };
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
    const QDomDocument document = std::exchange(m_pendingDocument, QDomDocument());
    const QByteArray source = std::exchange(m_pendingSource, QByteArray());
    const std::optional<QStringConverter::Encoding> encoding
        = QStringConverter::encodingForData(source, u'<');
    if (encoding && *encoding != QStringConverter::Utf8) {
        QStringDecoder decoder(*encoding);
        const QString text = decoder.decode(source);
        recordFrom(document, reinterpret_cast<const char16_t *>(text.utf16()), text.size());
    } else {
        recordFrom(document, source.constData(), source.size());
    }
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
    m_pendingSource = source;
    if (!tags.usable) {
        m_pendingDocument = document;
        return;
    }
    m_tags = std::move(tags);
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
    if (count < 2) {
        take(map, count, std::vector<NameSpan<char>>());
    } else {
        const char *text = m_pendingSource.constData();
        const SourceTags::Tag tag = m_tags.tags[ordinal];
        const std::size_t end = std::size_t(ordinal) + 1 < m_tags.tags.size()
            ? m_tags.tags[ordinal + 1].firstName
            : m_tags.names.size();
        const NameSpan<char> name = tagName(text + tag.offset, text + m_pendingSource.size());
        // The tag of every element, in a text without DOCTYPE; were it
        // another's, the attributes would follow by name.
        const bool matched = sameName(element.nodeName(), name.begin, name.size);
        take(map, count,
            TagNames(text, m_tags.names.data() + tag.firstName, matched ? end - tag.firstName : 0));
    }
    range.count = range.capacity = static_cast<std::uint32_t>(m_attributes.size() - range.offset);
    if (--m_pendingElements == 0) {
        m_pendingSource = QByteArray();
        m_tags = SourceTags();
    }
}

// Appends the attributes of map in the order names gives, then those the
// names miss (defaults from the DTD), by name.
template<typename Names>
void AttributeOrder::take(const QDomNamedNodeMap &map, int count, const Names &names)
{
    const auto first = m_attributes.size();
    if (count == 1)
        m_attributes.push_back(map.item(0));
    if (count < 2)
        return;
    // A lookup by name costs less than Qt's item(i), which steps through
    // the hash's buckets from its start.
    for (std::size_t k = 0; k < names.size(); ++k) {
        const auto name = names[k];
        spell(name.begin, name.size, &m_key);
        const QDomNode node = attributeNamed(map, m_key, &m_local);
        if (!node.isNull())
            m_attributes.push_back(node);
    }
    if (m_attributes.size() - first == std::size_t(count))
        return;
    std::vector<QDomNode> extra;
    const auto taken = m_attributes.begin() + first;
    for (int i = 0; i < count; ++i) {
        const QDomNode node = map.item(i);
        if (std::find(taken, m_attributes.end(), node) == m_attributes.end())
            extra.push_back(node);
    }
    std::sort(extra.begin(), extra.end(), byName);
    m_attributes.insert(m_attributes.end(), extra.begin(), extra.end());
}

template<typename Char>
void AttributeOrder::recordFrom(const QDomDocument &document, const Char *text, qsizetype size)
{
    StartTags<Char> tags(text, size);
    bool tagWaiting = tags.next();
    const std::vector<NameSpan<Char>> none;
    const QDomElement root = document.documentElement();
    for (QDomElement element = root; !element.isNull(); element = nextElement(element, root)) {
        const int ordinal = addElement();
        // An element an entity's text made has no tag of its own: the tag
        // waits for the element that has it.
        bool matched = false;
        if (tagWaiting)
            matched = sameName(element.nodeName(), tags.name().begin, tags.name().size);
        const QDomNamedNodeMap map = element.attributes();
        take(map, map.length(), matched ? tags.attributes() : none);
        m_elements[ordinal].count = m_elements[ordinal].capacity
            = static_cast<std::uint32_t>(m_attributes.size() - m_elements[ordinal].offset);
        if (matched)
            tagWaiting = tags.next();
    }
}
