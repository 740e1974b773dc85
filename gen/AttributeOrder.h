// SPDX-License-Identifier: MIT
#ifndef ZGQX_ATTRIBUTEORDER_H
#define ZGQX_ATTRIBUTEORDER_H

#include <QByteArray>
#include <QDomDocument>
#include <QDomNode>

#include <cstdint>
#include <vector>

// The order of every element's attributes, kept beside the DOM: Qt's DOM
// holds an element's attributes in a hash seeded per process, so its own
// order changes from run to run. Elements are known by their ordinal, their
// place in document order counting elements only (the document element is
// 0). The builder makes every new element the last one in document order and
// a load creates them in that order, so the ordinal of a new element is the
// number of elements before it.
class AttributeOrder
{
public:
    // Where an element's attributes stand in the shared list.
    struct Range
    {
        std::uint32_t offset = 0;
        std::uint32_t count = 0;
        std::uint32_t capacity = 0;
    };

    void clear();
    // Takes what a lazy record() left waiting. Call before changing the
    // attributes of a loaded document's elements.
    void settle();
    // Numbers a new element, which has no attributes yet; returns its ordinal.
    int addElement();
    // Appends a newly set attribute to element ordinal's attributes.
    void addAttribute(int ordinal, const QDomNode &attribute);
    // Numbers the elements of a document just parsed from source and takes
    // their attributes in the order their start tags give them. Attributes
    // the tags do not name (defaults from the DTD) follow, by name. The work
    // waits for the first use of the order: a document loaded and released
    // unread never pays it. Until then source is held (shared, not copied).
    void record(const QDomDocument &document, const QByteArray &source);

    // The attributes of element ordinal. A record that no longer matches the
    // DOM's attribute count is rebuilt, ordered by name, so that the order is
    // the same in every process whatever happened to the element.
    Range range(const QDomNode &element, int ordinal);
    const QDomNode &at(std::uint32_t index) const { return m_attributes[index]; }

private:
    void rebuild(const QDomNode &element, int ordinal);
    template<typename Char>
    void recordFrom(const QDomDocument &document, const Char *text, qsizetype size);

    QDomDocument m_pendingDocument;
    QByteArray m_pendingSource;
    std::vector<Range> m_elements; // by ordinal
    std::vector<QDomNode> m_attributes;
};

#endif // ZGQX_ATTRIBUTEORDER_H
