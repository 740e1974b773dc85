#include "XmlLimits.h"

#include "LastError.h"
#include "LogRecord.h"
#include "gen_qtxmlif.h"

#include <QString>
#include <QStringConverter>

#include <optional>

namespace {

// Scans units of type Char (bytes, or UTF-16 code units for wide files).
// Returns the offset of the first element that passes a limit, or -1.
template<typename Char>
qsizetype findViolation(const Char *text, qsizetype size, const char **limit)
{
    auto at = [&](qsizetype i) -> char16_t { return i < size ? char16_t(text[i]) : u'\0'; };
    auto startsWith = [&](qsizetype i, const char *literal) {
        for (; *literal; ++literal, ++i) {
            if (at(i) != char16_t(*literal))
                return false;
        }
        return true;
    };
    // Offset just past the next occurrence of literal at or after i.
    auto skipPast = [&](qsizetype i, const char *literal) {
        while (i < size && !startsWith(i, literal))
            ++i;
        qsizetype length = 0;
        while (literal[length])
            ++length;
        return i < size ? i + length : size;
    };

    int depth = 0;
    qsizetype i = 0;
    while (i < size) {
        if (at(i) != u'<') {
            ++i;
            continue;
        }
        const qsizetype start = i;
        if (startsWith(i, "<!--")) {
            i = skipPast(i + 4, "-->");
        } else if (startsWith(i, "<![CDATA[")) {
            i = skipPast(i + 9, "]]>");
        } else if (startsWith(i, "<?")) {
            i = skipPast(i + 2, "?>");
        } else if (startsWith(i, "<!")) {
            // A declaration such as DOCTYPE: its internal subset may hold
            // quoted '>' and comments.
            int brackets = 0;
            char16_t quote = 0;
            for (i += 2; i < size; ++i) {
                const char16_t c = at(i);
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == u'"' || c == u'\'') {
                    quote = c;
                } else if (startsWith(i, "<!--")) {
                    i = skipPast(i + 4, "-->") - 1;
                } else if (c == u'[') {
                    ++brackets;
                } else if (c == u']') {
                    --brackets;
                } else if (c == u'>' && brackets <= 0) {
                    ++i;
                    break;
                }
            }
        } else if (at(i + 1) == u'/') {
            --depth;
            i = skipPast(i + 2, ">");
        } else {
            // A start tag: every attribute has exactly one '=' outside quotes.
            int attributes = 0;
            char16_t quote = 0;
            bool empty = false;
            for (++i; i < size; ++i) {
                const char16_t c = at(i);
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == u'"' || c == u'\'') {
                    quote = c;
                } else if (c == u'=') {
                    ++attributes;
                } else if (c == u'>') {
                    empty = at(i - 1) == u'/';
                    ++i;
                    break;
                }
            }
            if (depth + 1 > GEN_QTXMLIF_MAX_DEPTH) {
                *limit = "element nested deeper than GEN_QTXMLIF_MAX_DEPTH (" ZGQX_STRINGIFY(
                    GEN_QTXMLIF_MAX_DEPTH) ") levels";
                return start;
            }
            if (attributes > GEN_QTXMLIF_MAX_ATTRIBUTES) {
                *limit = "element with more than GEN_QTXMLIF_MAX_ATTRIBUTES (" ZGQX_STRINGIFY(
                    GEN_QTXMLIF_MAX_ATTRIBUTES) ") attributes";
                return start;
            }
            if (!empty)
                ++depth;
        }
    }
    return -1;
}

template<typename Char>
void position(const Char *text, qsizetype offset, int *line, int *column)
{
    int l = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < offset; ++i) {
        if (text[i] == Char('\n')) {
            ++l;
            lineStart = i + 1;
        }
    }
    *line = l;
    *column = int(offset - lineStart + 1);
}

} // namespace

bool XmlLimits::check(const QByteArray &xml, int *line, int *column)
{
    const char *limit = "";
    const std::optional<QStringConverter::Encoding> encoding
        = QStringConverter::encodingForData(xml, u'<');
    const bool wide = encoding && *encoding != QStringConverter::Utf8;
    if (wide) {
        QStringDecoder decoder(*encoding);
        const QString text = decoder.decode(xml);
        const qsizetype offset = findViolation(text.utf16(), text.size(), &limit);
        if (offset < 0)
            return true;
        position(text.utf16(), offset, line, column);
        zgqx::noteDetail(QString::fromLatin1(limit), *line, *column);
        return false;
    }
    const qsizetype offset = findViolation(xml.constData(), xml.size(), &limit);
    if (offset < 0)
        return true;
    position(xml.constData(), offset, line, column);
    zgqx::noteDetail(QString::fromLatin1(limit), *line, *column);
    return false;
}
