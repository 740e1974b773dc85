// SPDX-License-Identifier: MIT
#include "XmlLimits.h"

#include "CodeUnits.h"
#include "LogRecord.h"
#include "SourceTags.h"
#include "gen_qtxmlif.h"

#include <QByteArray>
#include <QIODevice>
#include <QStringConverter>

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <optional>

namespace {

bool isSpace(char32_t c)
{
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r';
}

// Sets of ASCII units, for the loops over a start tag.
constexpr std::array<bool, 256> unitSet(std::initializer_list<char> units)
{
    std::array<bool, 256> set {};
    for (const char c : units)
        set[uchar(c)] = true;
    return set;
}
constexpr auto tagStops = unitSet({ '"', '\'', '=', '>' }); // what a tag's scan stops at
constexpr auto nameEnds = unitSet({ ' ', '\t', '\n', '\r', '"', '\'', '<', '/', '>' });

bool in(const std::array<bool, 256> &set, char32_t c)
{
    return c < 256 && set[c];
}

// The scan of the data read so far. It resumes where it stopped when more
// data arrives; a construct that is not complete yet is scanned again whole
// then, which the growing block sizes of read() keep linear.
class Scan
{
public:
    explicit Scan(SourceTags *tags)
        : m_tags(tags)
    {
    }
    bool advance(const QByteArray &data, bool atEnd, LoadOutcome *outcome);

private:
    template<int Width, bool BigEndian>
    bool scan(const uchar *data, qsizetype size, bool atEnd, LoadOutcome *outcome);
    template<int Width, bool BigEndian>
    qsizetype findViolation(Units<Width, BigEndian> text, qsizetype size, bool atEnd);
    template<int Width, bool BigEndian>
    static bool refuse(Units<Width, BigEndian> text, qsizetype offset, LoadOutcome::Cause cause,
        const char *message, LoadOutcome *outcome);
    template<int Width, bool BigEndian>
    qsizetype startTagEnd(
        Units<Width, BigEndian> text, qsizetype size, qsizetype tag, int *attributes, bool *empty);
    template<int Width, bool BigEndian>
    void noteName(Units<Width, BigEndian> text, qsizetype tag, qsizetype equals);
    void dropTags();

    SourceTags *m_tags; // null when not wanted or no longer usable

    int m_width = 0; // 0 until the encoding is known
    bool m_bigEndian = false;
    qsizetype m_checked = 0; // units looked at for NUL and the first markup
    bool m_markupSeen = false;
    qsizetype m_offset = 0; // where the limit scan resumes
    int m_depth = 0;
    const char *m_violation = nullptr;
};

bool Scan::advance(const QByteArray &data, bool atEnd, LoadOutcome *outcome)
{
    if (m_width == 0) {
        if (data.size() < 4 && !atEnd)
            return true;
        const std::optional<QStringConverter::Encoding> encoding
            = QStringConverter::encodingForData(data, u'<');
        m_width = 1;
        if (encoding == QStringConverter::Utf16BE || encoding == QStringConverter::Utf16LE)
            m_width = 2;
        else if (encoding == QStringConverter::Utf32BE || encoding == QStringConverter::Utf32LE)
            m_width = 4;
        m_bigEndian
            = encoding == QStringConverter::Utf16BE || encoding == QStringConverter::Utf32BE;
        if (m_tags) {
            m_tags->width = m_width;
            m_tags->bigEndian = m_bigEndian;
        }
    }
    if (data.size() > qsizetype(UINT32_MAX))
        dropTags();
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype units = data.size() / m_width;
    switch (m_width * (m_bigEndian ? -1 : 1)) {
    case 2:
        return scan<2, false>(bytes, units, atEnd, outcome);
    case -2:
        return scan<2, true>(bytes, units, atEnd, outcome);
    case 4:
        return scan<4, false>(bytes, units, atEnd, outcome);
    case -4:
        return scan<4, true>(bytes, units, atEnd, outcome);
    default:
        return scan<1, false>(bytes, units, atEnd, outcome);
    }
}

template<int Width, bool BigEndian>
bool Scan::scan(const uchar *data, qsizetype size, bool atEnd, LoadOutcome *outcome)
{
    const Units<Width, BigEndian> text { data };
    // Blanks and a byte-order mark may come before the first markup.
    const qsizetype utf8Bom = Width == 1 && size >= 3 && std::memcmp(data, "\xef\xbb\xbf", 3) == 0;
    for (; !m_markupSeen && m_checked < size; ++m_checked) {
        const char32_t c = text[m_checked];
        const bool bom = m_checked == 0 && (c == 0xfeff || utf8Bom);
        if (bom || c == ' ' || c == '\t' || c == '\n' || c == '\r')
            m_checked += Width == 1 && bom ? 2 : 0;
        else if (c == '<')
            m_markupSeen = true;
        else
            return refuse(text, m_checked, LoadOutcome::NotWellFormed,
                c == 0 ? "NUL character" : "content outside markup before the first element",
                outcome);
    }
    if constexpr (Width == 1) {
        const void *nul
            = m_checked < size ? std::memchr(data + m_checked, 0, size - m_checked) : nullptr;
        if (nul) {
            return refuse(text, static_cast<const uchar *>(nul) - data, LoadOutcome::NotWellFormed,
                "NUL character", outcome);
        }
    } else {
        for (qsizetype i = m_checked; i < size; ++i) {
            if (text[i] == 0)
                return refuse(text, i, LoadOutcome::NotWellFormed, "NUL character", outcome);
        }
    }
    m_checked = std::max(m_checked, size);

    const qsizetype violation = findViolation(text, size, atEnd);
    if (violation < 0)
        return true;
    return refuse(text, violation, LoadOutcome::PastLimits, m_violation, outcome);
}

// Returns the offset of the first element that passes a limit, or -1.
template<int Width, bool BigEndian>
qsizetype Scan::findViolation(Units<Width, BigEndian> text, qsizetype size, bool atEnd)
{
    auto at = [&](qsizetype i) -> char32_t { return i < size ? text[i] : U'\0'; };
    auto startsWith = [&](qsizetype i, const char *literal) {
        for (; *literal; ++literal, ++i) {
            if (at(i) != char32_t(*literal))
                return false;
        }
        return true;
    };
    // Offset just past the next occurrence of literal at or after i; -1 when
    // it has not arrived.
    auto findPast = [&](qsizetype i, const auto &literal) -> qsizetype {
        constexpr qsizetype length = sizeof literal - 1;
        if constexpr (Width == 1) {
            // The literals all end in '>': only there can one end.
            for (i += length - 1; i < size; ++i) {
                const void *gt = std::memchr(text.data + i, '>', size - i);
                if (!gt)
                    return -1;
                i = static_cast<const uchar *>(gt) - text.data;
                if (startsWith(i - length + 1, literal))
                    return i + 1;
            }
            return -1;
        }
        for (; i < size; ++i) {
            if (startsWith(i, literal))
                return i + length;
        }
        return -1;
    };

    qsizetype i = m_offset;
    while (i < size) {
        if (at(i) != U'<') {
            if constexpr (Width == 1) {
                const void *next = std::memchr(text.data + i, '<', size - i);
                i = next ? static_cast<const uchar *>(next) - text.data : size;
            } else {
                ++i;
            }
            continue;
        }
        // "<![CDATA[" is the longest opening to tell apart.
        if (size - i < 9 && !atEnd)
            break;
        const qsizetype start = i;
        qsizetype end = -1;
        int attributes = 0;
        bool startTag = false;
        bool empty = false;
        const char32_t second = at(i + 1);
        if (second != U'!' && second != U'?' && second != U'/') {
            startTag = true;
            end = startTagEnd(text, size, i, &attributes, &empty);
        } else if (startsWith(i, "<!--")) {
            end = findPast(i + 4, "-->");
        } else if (startsWith(i, "<![CDATA[")) {
            end = findPast(i + 9, "]]>");
        } else if (startsWith(i, "<?")) {
            end = findPast(i + 2, "?>");
        } else if (startsWith(i, "<!")) {
            // A declaration such as DOCTYPE: its internal subset may hold
            // quoted '>' and comments.
            if (m_tags)
                m_tags->byName = true;
            int brackets = 0;
            char32_t quote = 0;
            for (i += 2; i < size && end < 0; ++i) {
                const char32_t c = at(i);
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == U'"' || c == U'\'') {
                    quote = c;
                } else if (startsWith(i, "<!--")) {
                    const qsizetype past = findPast(i + 4, "-->");
                    i = (past < 0 ? size : past) - 1;
                } else if (c == U'[') {
                    ++brackets;
                } else if (c == U']') {
                    --brackets;
                } else if (c == U'>' && brackets <= 0) {
                    end = i + 1;
                }
            }
        } else {
            end = findPast(i + 2, ">");
            if (end >= 0 || atEnd)
                --m_depth;
        }
        if (end < 0 && !atEnd) {
            i = start; // scanned again whole once more has arrived
            break;
        }
        i = end < 0 ? size : end;
        if (startTag) {
            if (m_depth + 1 > GEN_QTXMLIF_MAX_DEPTH || attributes > GEN_QTXMLIF_MAX_ATTRIBUTES) {
                m_violation = attributes > GEN_QTXMLIF_MAX_ATTRIBUTES
                    ? "an element has more attributes than GEN_QTXMLIF_MAX_ATTRIBUTES "
                      "(" ZGQX_STRINGIFY(GEN_QTXMLIF_MAX_ATTRIBUTES) ")"
                    : "elements are nested deeper than GEN_QTXMLIF_MAX_DEPTH (" ZGQX_STRINGIFY(
                        GEN_QTXMLIF_MAX_DEPTH) ")";
                m_offset = i;
                return start;
            }
            if (!empty)
                ++m_depth;
        }
    }
    m_offset = i;
    return -1;
}

template<int Width, bool BigEndian>
bool Scan::refuse(Units<Width, BigEndian> text, qsizetype offset, LoadOutcome::Cause cause,
    const char *message, LoadOutcome *outcome)
{
    // A byte-order mark is no character of the first line: the parser does
    // not count it either.
    qsizetype bom = 0;
    if (Width == 1 && offset >= 3 && text[0] == 0xef && text[1] == 0xbb && text[2] == 0xbf)
        bom = 3;
    else if (Width > 1 && offset >= 1 && text[0] == 0xfeff)
        bom = 1;
    int line = 1;
    qsizetype lineStart = bom;
    for (qsizetype i = bom; i < offset; ++i) {
        if (text[i] == U'\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    outcome->cause = cause;
    outcome->message = QString::fromLatin1(message);
    outcome->line = line;
    outcome->column = int(offset - lineStart + 1);
    return false;
}

// Scans the start tag at offset tag: returns the offset past its end, -1 when
// it has not arrived whole. Every attribute has exactly one '=' outside
// quotes.
template<int Width, bool BigEndian>
qsizetype Scan::startTagEnd(
    Units<Width, BigEndian> text, qsizetype size, qsizetype tag, int *attributes, bool *empty)
{
    const std::size_t names = m_tags ? m_tags->names.size() : 0;
    if (m_tags && m_tags->tags.capacity() == 0) {
        // About what a text of that size holds; growing from nothing would
        // cost a copy at every doubling.
        m_tags->tags.reserve(std::size_t(size) / 64 + 4);
        m_tags->names.reserve(std::size_t(size) / 16 + 8);
    }
    if (m_tags) {
        // The tag's own name goes first, once the tag shows it is wanted.
        m_tags->tags.push_back(std::uint32_t(names));
        m_tags->names.push_back({ 0, 0 });
    }
    qsizetype end = -1;
    qsizetype i = tag + 1;
    while (i < size && !in(nameEnds, text[i]))
        ++i;
    const qsizetype nameEnd = i;
    for (; i < size; ++i) {
        if constexpr (Width == 1) {
            // Names and blanks are most of a tag: pass them in a tight loop.
            while (i < size && !in(tagStops, text.data[i]))
                ++i;
            if (i == size)
                break;
        }
        const char32_t c = text[i];
        if (c == U'"' || c == U'\'') {
            if constexpr (Width == 1) {
                const void *close = std::memchr(text.data + i + 1, int(c), size - i - 1);
                i = close ? static_cast<const uchar *>(close) - text.data : size;
            } else {
                for (++i; i < size && text[i] != c;)
                    ++i;
            }
        } else if (c == U'=') {
            ++*attributes;
            if (m_tags)
                noteName(text, tag, i);
        } else if (c == U'>') {
            *empty = text[i - 1] == U'/';
            end = i + 1;
            break;
        }
    }
    if (m_tags) {
        if (end < 0) {
            m_tags->names.resize(names);
            m_tags->tags.pop_back();
        } else if (*attributes >= 2 || m_tags->byName) {
            m_tags->names[names] = { std::uint32_t(tag + 1), std::uint32_t(nameEnd - tag - 1) };
        } else {
            m_tags->names.resize(names);
        }
    }
    return end;
}

// Notes the attribute name before the '=' at offset equals of the tag at
// offset tag.
template<int Width, bool BigEndian>
void Scan::noteName(Units<Width, BigEndian> text, qsizetype tag, qsizetype equals)
{
    qsizetype end = equals;
    while (end > tag && isSpace(text[end - 1]))
        --end;
    qsizetype begin = end;
    while (begin > tag && !in(nameEnds, text[begin - 1]))
        --begin;
    const qsizetype size = end - begin;
    // Namespace declarations are no attributes to the DOM.
    const auto declaration = [&] {
        for (int k = 0; k < 5; ++k) {
            if (text[begin + k] != char32_t("xmlns"[k]))
                return false;
        }
        return size == 5 || text[begin + 5] == U':';
    };
    if (size == 0 || (size >= 5 && declaration()))
        return;
    m_tags->names.push_back({ std::uint32_t(begin), std::uint32_t(size) });
}

void Scan::dropTags()
{
    if (m_tags)
        m_tags->drop();
    m_tags = nullptr;
}

} // namespace

bool XmlLimits::read(QIODevice *device, QByteArray *xml, LoadOutcome *outcome, SourceTags *tags)
{
    constexpr qsizetype firstBlock = 64 * 1024;
    xml->clear();
    // A file's known size is taken at once: its pages cost memory only as
    // they are read.
    if (!device->isSequential()) {
        const qint64 size = device->size() - device->pos();
        if (size > 0)
            xml->reserve(size + 1);
    }
    Scan scan(tags);
    bool atEnd = false;
    while (!atEnd) {
        const qsizetype have = xml->size();
        const qsizetype room = xml->capacity() - have;
        const qsizetype wanted = std::max(firstBlock, have);
        const qsizetype block = room > 0 ? std::min(wanted, room) : wanted;
        xml->resize(have + block);
        const qint64 got = device->read(xml->data() + have, block);
        xml->resize(have + std::max<qint64>(got, 0));
        if (got < 0) {
            outcome->cause = LoadOutcome::Unreadable;
            outcome->message = device->errorString();
            return false;
        }
        atEnd = got == 0;
        if (!scan.advance(*xml, atEnd, outcome))
            return false;
    }
    return true;
}
