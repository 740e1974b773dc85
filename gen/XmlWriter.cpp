// SPDX-License-Identifier: MIT
#include "XmlWriter.h"

#include "AttributeOrder.h"

#include <QDomDocumentType>
#include <QIODevice>
#include <QStringEncoder>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

constexpr qsizetype blockSize = 64 * 1024;

// Collects the text as a QString.
class StringOut
{
public:
    void put(QStringView text) { m_text.append(text); }
    void put(QLatin1StringView text) { m_text.append(text); }
    void put(char16_t c) { m_text.append(QChar(c)); }
    void spaces(qsizetype count) { m_text.resize(m_text.size() + count, u' '); }
    QString take() { return std::move(m_text); }

private:
    QString m_text;
};

// Encodes the text as UTF-8 and hands it to a device in large blocks.
class Utf8Out
{
public:
    explicit Utf8Out(QIODevice *device)
        : m_device(device)
    {
        m_block.reserve(blockSize + 1024);
    }

    void put(QStringView text)
    {
        const qsizetype old = m_block.size();
        m_block.resize(old + text.size());
        char *out = m_block.data() + old;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c >= 0x80) {
                // Qt's encoder for the rest, so that what it cannot encode
                // comes out as it would through a text stream.
                m_block.resize(old + i);
                m_block.resize(old + i + m_encoder.requiredSpace(text.size() - i));
                char *end = m_encoder.appendToBuffer(m_block.data() + old + i, text.mid(i));
                m_block.resize(end - m_block.data());
                break;
            }
            out[i] = char(c);
        }
        handOnFull();
    }
    void put(QLatin1StringView text) { m_block.append(text.data(), text.size()); }
    void put(char16_t c)
    {
        if (c < 0x80)
            m_block.append(char(c));
        else
            put(QStringView(&c, 1));
    }
    void spaces(qsizetype count)
    {
        m_block.append(count, ' ');
        handOnFull();
    }
    bool finish()
    {
        handOn();
        return !m_failed;
    }

private:
    void handOnFull()
    {
        if (m_block.size() >= blockSize)
            handOn();
    }
    void handOn()
    {
        if (!m_failed && !m_block.isEmpty())
            m_failed = m_device->write(m_block) != m_block.size();
        m_block.resize(0);
    }

    QIODevice *m_device;
    QByteArray m_block;
    QStringEncoder m_encoder { QStringConverter::Utf8 };
    bool m_failed = false;
};

bool isXmlDeclaration(const QDomNode &node)
{
    return node.isProcessingInstruction() && node.nodeName() == QLatin1String("xml");
}

// Qt's escaping: markup characters always; in attribute values also quotes
// and the characters attribute-value normalisation would turn into spaces.
template<typename Out>
void putEscaped(Out &out, QStringView text, bool attribute)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        QLatin1StringView replacement;
        switch (c) {
        case u'<':
            replacement = QLatin1StringView("&lt;");
            break;
        case u'&':
            replacement = QLatin1StringView("&amp;");
            break;
        case u'>':
            if (i >= 2 && text[i - 1] == u']' && text[i - 2] == u']')
                replacement = QLatin1StringView("&gt;");
            break;
        case u'"':
            if (attribute)
                replacement = QLatin1StringView("&quot;");
            break;
        case u'\r':
            replacement = QLatin1StringView("&#xd;");
            break;
        case u'\n':
            if (attribute)
                replacement = QLatin1StringView("&#xa;");
            break;
        case u'\t':
            if (attribute)
                replacement = QLatin1StringView("&#x9;");
            break;
        default:
            break;
        }
        if (!replacement.isNull()) {
            out.put(text.mid(start, i - start));
            out.put(replacement);
            start = i + 1;
        }
    }
    out.put(text.mid(start));
}

template<typename Out, typename Name>
void putAttribute(Out &out, const Name &name, const QString &value)
{
    out.put(name);
    out.put(QLatin1StringView("=\""));
    putEscaped(out, value, true);
    out.put(u'"');
}

} // namespace

XmlWriter::XmlWriter(const QDomDocument &document, AttributeOrder &order, int indent)
    : m_document(document)
    , m_order(order)
    , m_indent(indent)
{
}

QString XmlWriter::toString()
{
    StringOut out;
    writeDocument(out, false);
    return out.take();
}

bool XmlWriter::save(QIODevice *device)
{
    Utf8Out out(device);
    writeDocument(out, true);
    return out.finish();
}

template<typename Out>
void XmlWriter::writeIndent(Out &out, int depth)
{
    if (m_indent > 0)
        out.spaces(qsizetype(depth) * m_indent);
}

template<typename Out>
void XmlWriter::writeDocument(Out &out, bool skipDeclaration)
{
    m_ordinal = 0;
    QDomNode node = m_document.firstChild();
    if (skipDeclaration && isXmlDeclaration(node))
        node = node.nextSibling();
    bool doctypeWritten = false;
    bool previousIsText = false;
    int depth = 0;
    // Depth first without recursion: a built document may nest deeper than
    // the stack allows.
    while (!node.isNull()) {
        if (depth == 0 && !doctypeWritten && !isXmlDeclaration(node)) {
            doctypeWritten = true;
            // The document type holds no attributes: Qt's own rendering.
            const QDomDocumentType type = m_document.doctype();
            if (!type.name().isEmpty()) {
                QString text;
                QTextStream stream(&text);
                type.save(stream, m_indent);
                stream.flush();
                out.put(text);
            }
        }
        QDomNode next = node.nextSibling();
        if (node.isElement()) {
            const QDomNode child = node.firstChild();
            if (!previousIsText)
                writeIndent(out, depth);
            writeElement(out, node);
            if (!child.isNull()) {
                out.put(u'>');
                if (!child.isText())
                    out.put(u'\n');
                node = child;
                previousIsText = false;
                ++depth;
                continue;
            }
            out.put(QLatin1StringView("/>"));
            if (!next.isText())
                out.put(u'\n');
        } else {
            if (node.isComment() && !previousIsText)
                writeIndent(out, depth);
            writeNode(out, node);
            if (node.isComment() && !next.isText())
                out.put(u'\n');
        }
        // Close the elements whose last child this was.
        while (next.isNull() && depth > 0) {
            const bool lastIsText = node.isText();
            node = node.parentNode();
            --depth;
            if (!lastIsText)
                writeIndent(out, depth);
            out.put(QLatin1StringView("</"));
            out.put(node.nodeName());
            out.put(u'>');
            next = node.nextSibling();
            if (!next.isText())
                out.put(u'\n');
        }
        previousIsText = node.isText();
        node = next;
    }
}

template<typename Out>
void XmlWriter::writeNode(Out &out, const QDomNode &node)
{
    if (node.isCDATASection()) {
        out.put(QLatin1StringView("<![CDATA["));
        out.put(node.nodeValue());
        out.put(QLatin1StringView("]]>"));
    } else if (node.isText()) {
        putEscaped(out, node.nodeValue(), false);
    } else if (node.isComment()) {
        out.put(QLatin1StringView("<!--"));
        out.put(node.nodeValue());
        out.put(QLatin1StringView("-->"));
    } else if (node.isProcessingInstruction()) {
        out.put(QLatin1StringView("<?"));
        out.put(node.nodeName());
        out.put(u' ');
        out.put(node.nodeValue());
        out.put(QLatin1StringView("?>\n"));
    } else {
        // Kinds neither a load nor the builder makes (entity references and
        // the like) hold no attributes: Qt's own rendering.
        QString text;
        QTextStream stream(&text);
        node.save(stream, m_indent);
        stream.flush();
        out.put(text);
    }
}

template<typename Out>
void XmlWriter::writeElement(Out &out, const QDomNode &element)
{
    const int ordinal = m_ordinal++;
    out.put(u'<');
    out.put(element.nodeName());
    // An element in a namespace declares it, whether an ancestor did or not.
    const QString prefix = element.prefix();
    const QString uri = element.namespaceURI();
    if (!uri.isNull()) {
        if (prefix.isEmpty()) {
            putAttribute(out, QLatin1StringView(" xmlns"), uri);
        } else {
            out.put(QLatin1StringView(" xmlns:"));
            putAttribute(out, prefix, uri);
        }
    }
    const AttributeOrder::Range range = m_order.range(element, ordinal);
    std::vector<QString> declared;
    for (std::uint32_t i = 0; i < range.count; ++i) {
        const QDomNode &attribute = m_order.at(range.offset + i);
        out.put(u' ');
        const QString attributeUri = attribute.namespaceURI();
        if (attributeUri.isNull()) {
            putAttribute(out, attribute.nodeName(), attribute.nodeValue());
            continue;
        }
        // A prefixed attribute declares its prefix, once per tag, unless the
        // element's own declaration did.
        const QString attributePrefix = attribute.prefix();
        out.put(attributePrefix);
        out.put(u':');
        putAttribute(out, attribute.localName(), attribute.nodeValue());
        if (attributePrefix != prefix
            && std::find(declared.begin(), declared.end(), attributePrefix) == declared.end()) {
            declared.push_back(attributePrefix);
            out.put(QLatin1StringView(" xmlns:"));
            putAttribute(out, attributePrefix, attributeUri);
        }
    }
}
