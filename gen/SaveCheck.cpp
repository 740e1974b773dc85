// SPDX-License-Identifier: MIT
#include "SaveCheck.h"

#include "AttributeOrder.h"

#include <QDomDocument>
#include <QDomNode>
#include <QXmlStreamReader>

#include <vector>

namespace {

using SaveCheck::Offence;

constexpr bool isNameStart(char32_t c)
{
    if (c < 0x80)
        return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || c == U'_';
    return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF)
        || (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D)
        || (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF)
        || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF)
        || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

constexpr bool isNameChar(char32_t c)
{
    if (c < 0x80)
        return isNameStart(c) || c == U'-' || c == U'.' || (c >= U'0' && c <= U'9');
    return isNameStart(c) || c == 0xB7 || (c >= 0x300 && c <= 0x36F)
        || (c >= 0x203F && c <= 0x2040);
}

// The character at i, a surrogate pair taken whole; i is moved onto its last
// unit. A lone surrogate comes back as itself, which no test below allows.
char32_t characterAt(QStringView text, qsizetype *i)
{
    const char16_t c = text[*i].unicode();
    if (QChar::isHighSurrogate(c) && *i + 1 < text.size()
        && QChar::isLowSurrogate(text[*i + 1].unicode()))
        return QChar::surrogateToUcs4(c, text[++*i].unicode());
    return c;
}

constexpr qsizetype notQualified = -2;

// Qt's reader, which loads the file back, takes the name characters of an
// older edition of XML 1.0 and refuses some that the rule above allows
// (U+2040, U+10000 on): a name beyond ASCII must pass it too.
bool readerTakes(QStringView part)
{
    QXmlStreamReader reader(QLatin1Char('<') + part.toString() + QLatin1String("/>"));
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

// An XML name in which a colon, if any, stands once between two non-empty
// parts: the colon's index, -1 without one, or notQualified.
qsizetype qualifiedNameColon(QStringView name)
{
    qsizetype colon = -1;
    bool partStart = true;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == u':') {
            if (colon >= 0 || partStart)
                return notQualified;
            colon = i;
            partStart = true;
            continue;
        }
        const char32_t c = characterAt(name, &i);
        if (!(partStart ? isNameStart(c) : isNameChar(c)))
            return notQualified;
        partStart = false;
    }
    if (partStart)
        return notQualified;
    for (const QChar c : name) {
        if (c.unicode() >= 0x80) {
            if ((colon >= 0 && !readerTakes(name.left(colon))) || !readerTakes(name.mid(colon + 1)))
                return notQualified;
            break;
        }
    }
    return colon;
}

bool isPlainUnit(char16_t unit)
{
    return (unit >= 0x20 && unit < 0xD800) || unit == 0x9 || unit == 0xA || unit == 0xD
        || (unit >= 0xE000 && unit <= 0xFFFD);
}

// Finds the first character that XML 1.0 does not allow: false when there
// is none, else its code point and its 1-based position in characters.
bool badCharacter(QStringView text, char32_t *bad, qsizetype *position)
{
    qsizetype pairs = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isPlainUnit(text[i].unicode()))
            continue;
        const qsizetype start = i;
        const char32_t c = characterAt(text, &i);
        if (c >= 0x10000) {
            ++pairs;
            continue;
        }
        *bad = c;
        *position = start - pairs + 1;
        return true;
    }
    return false;
}

// A character offence; the description is made only when there is one.
template<typename Where>
bool badCharacter(QStringView text, Where &&where, Offence *offence)
{
    char32_t bad = 0;
    qsizetype position = 0;
    if (!badCharacter(text, &bad, &position))
        return false;
    offence->kind = Offence::BadCharacter;
    offence->what = QStringLiteral("U+%1 at character %2 of %3")
                        .arg(QString::number(uint(bad), 16).toUpper().rightJustified(4, u'0'))
                        .arg(position)
                        .arg(where());
    return true;
}

// Prefixes bound in the elements open around the one being checked.
class Scope
{
public:
    void open() { m_frames.push_back(m_prefixes.size()); }
    void close()
    {
        m_prefixes.resize(m_frames.back());
        m_frames.pop_back();
    }
    void bind(const QString &prefix) { m_prefixes.push_back(prefix); }
    bool isBound(QStringView prefix) const
    {
        if (prefix == u"xml")
            return true;
        for (const QString &bound : m_prefixes) {
            if (bound == prefix)
                return true;
        }
        return false;
    }

private:
    std::vector<QString> m_prefixes;
    std::vector<std::size_t> m_frames;
};

bool badName(const QString &name, bool isAttribute, bool *prefixed, Offence *offence)
{
    const qsizetype colon = qualifiedNameColon(name);
    if (colon == notQualified) {
        offence->kind = Offence::BadName;
        offence->what = name;
        return true;
    }
    // "xmlns:p" declares p; the serialiser writes it as it stands.
    *prefixed = *prefixed || (colon > 0 && !(isAttribute && name.startsWith(u"xmlns:")));
    return false;
}

bool unbound(const QString &name, const Scope &scope, Offence *offence)
{
    const qsizetype colon = name.indexOf(u':');
    if (colon < 0 || scope.isBound(QStringView(name).left(colon)))
        return false;
    offence->kind = Offence::UnboundPrefix;
    offence->what = name;
    return true;
}

// Checks an element's names and values, and binds the prefixes it declares:
// its own namespace's and its namespaced attributes' (the serialiser writes
// their declarations) and those of its "xmlns:p" attributes.
bool badElement(const QDomNode &element, AttributeOrder::Range attributes,
    const AttributeOrder &order, Scope *scope, Offence *offence)
{
    const QString name = element.nodeName();
    bool prefixed = false;
    if (badName(name, false, &prefixed, offence))
        return true;
    if (!element.namespaceURI().isNull() && !element.prefix().isEmpty())
        scope->bind(element.prefix());
    for (std::uint32_t i = 0; i < attributes.count; ++i) {
        const QDomNode &attribute = order.at(attributes.offset + i);
        const QString attributeName = attribute.nodeName();
        if (badName(attributeName, true, &prefixed, offence)
            || badCharacter(
                attribute.nodeValue(),
                [&] {
                    return QStringLiteral("the value of attribute %1 of element <%2>")
                        .arg(attributeName, name);
                },
                offence))
            return true;
        if (!attribute.namespaceURI().isNull() && !attribute.prefix().isEmpty()) {
            scope->bind(attribute.prefix());
        } else if (attributeName.startsWith(u"xmlns:")) {
            // Readers refuse a declaration that binds a prefix to nothing,
            // and one of the prefix that declares.
            if (attribute.nodeValue().isEmpty() || attributeName == u"xmlns:xmlns") {
                offence->kind = Offence::BadName;
                offence->what = attributeName;
                return true;
            }
            scope->bind(attributeName.mid(6));
        }
    }
    if (!prefixed)
        return false;
    if (unbound(name, *scope, offence))
        return true;
    for (std::uint32_t i = 0; i < attributes.count; ++i) {
        const QString attributeName = order.at(attributes.offset + i).nodeName();
        if (!attributeName.startsWith(u"xmlns:") && unbound(attributeName, *scope, offence))
            return true;
    }
    return false;
}

} // namespace

Offence SaveCheck::firstOffence(const QDomDocument &document, AttributeOrder &order)
{
    int ordinal = 0;
    Offence offence;
    const QDomNode root = document.documentElement();
    Scope scope;
    QDomNode node = root;
    while (!node.isNull()) {
        if (node.isElement()) {
            scope.open();
            if (badElement(node, order.range(node, ordinal++), order, &scope, &offence))
                return offence;
            const QDomNode child = node.firstChild();
            if (!child.isNull()) {
                node = child;
                continue;
            }
            scope.close();
        } else if (node.isText()) {
            const auto where = [&] {
                return QStringLiteral("a text in element <%1>").arg(node.parentNode().nodeName());
            };
            if (badCharacter(node.nodeValue(), where, &offence))
                return offence;
        }
        // The node is done: on to its next sibling, closing the elements
        // that have no more children.
        for (;;) {
            if (node == root)
                return offence;
            const QDomNode next = node.nextSibling();
            if (!next.isNull()) {
                node = next;
                break;
            }
            node = node.parentNode();
            scope.close();
        }
    }
    return offence;
}

bool SaveCheck::isPlainName(QStringView name)
{
    // Builders mostly use ASCII names: those are told by the table alone.
    static constexpr auto ascii = [] {
        struct Table
        {
            bool start[128] = {};
            bool inside[128] = {};
        } table;
        for (char32_t c = 0; c < 128; ++c) {
            table.start[c] = isNameStart(c);
            table.inside[c] = isNameChar(c);
        }
        return table;
    }();
    const char16_t *const units = name.utf16();
    const qsizetype size = name.size();
    if (size == 0 || (units[0] < 128 && !ascii.start[units[0]]))
        return false;
    for (qsizetype i = 0; i < size; ++i) {
        if (units[i] >= 128)
            return qualifiedNameColon(name) == -1;
        if (!ascii.inside[units[i]])
            return false;
    }
    return true;
}

bool SaveCheck::isPlainText(QStringView text)
{
    const char16_t *const units = text.utf16();
    for (qsizetype i = 0, size = text.size(); i < size; ++i) {
        // One comparison for the usual characters, 0x20 to 0xD7FF.
        if (char16_t(units[i] - 0x20) >= 0xD800 - 0x20 && !isPlainUnit(units[i]))
            return false;
    }
    return true;
}
