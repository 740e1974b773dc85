// SPDX-License-Identifier: MIT
#ifndef ZGQX_XMLWRITER_H
#define ZGQX_XMLWRITER_H

#include <QDomDocument>
#include <QString>

class AttributeOrder;
class QIODevice;

// Writes a document as QDomDocument's own serialisation does, indentation,
// escaping and namespace declarations alike, but with every element's
// attributes in the order AttributeOrder keeps: Qt writes them in its hash
// order, which changes from process to process.
class XmlWriter
{
public:
    // indent is the number of spaces per level.
    XmlWriter(const QDomDocument &document, AttributeOrder &order, int indent);

    QString toString();
    // Writes UTF-8 to device, without the document's own XML declaration;
    // false when a write failed.
    bool save(QIODevice *device);

private:
    template<typename Out>
    void writeDocument(Out &out, bool declaration);
    template<typename Out>
    void writeNode(Out &out, const QDomNode &node);
    template<typename Out>
    void writeElement(Out &out, const QDomNode &element);
    template<typename Out>
    void writeIndent(Out &out, int depth);

    QDomDocument m_document;
    AttributeOrder &m_order;
    int m_indent;
    int m_ordinal = 0; // of the next element written
};

#endif // ZGQX_XMLWRITER_H
