// SPDX-License-Identifier: MIT
#ifndef ZGQX_ATTRIBUTEORDER_H
#define ZGQX_ATTRIBUTEORDER_H

#include "SourceTags.h"

#include <QByteArray>
#include <QDomDocument>
#include <QDomNamedNodeMap>
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
    // Takes what record() left waiting for element ordinal. Call before
    // changing the element's attributes.
    void settle(const QDomNode &element, int ordinal);
    // Numbers a new element, which has no attributes yet; returns its ordinal.
    int addElement();
    // Appends a newly set attribute to element ordinal's attributes.
    void addAttribute(int ordinal, const QDomNode &attribute);
    // Numbers the elements of a document just parsed from source and takes
    // their attributes in the order their start tags give them. Attributes
    // the tags do not name (defaults from the DTD) follow, by name. Tags are
    // what the read of source noted. The work waits for the first use of the
    // order: a document loaded and released unread never pays it. Until then
    // source is held (shared, not copied).
    void record(const QDomDocument &document, const QByteArray &source, SourceTags tags);

    // The attributes of element ordinal. A record that no longer matches the
    // DOM's attribute count is rebuilt, ordered by name, so that the order is
    // the same in every process whatever happened to the element.
    Range range(const QDomNode &element, int ordinal);
    const QDomNode &at(std::uint32_t index) const { return m_attributes[index]; }

private:
    // The offset of an element whose attributes wait for their first use.
    static constexpr std::uint32_t pending = UINT32_MAX;

    void settle();
    void takeFromTag(const QDomNode &element, int ordinal);
    void rebuild(const QDomNode &element, int ordinal);
    void take(const QDomNamedNodeMap &map, int count, std::size_t first, std::size_t end);
    // Where the names noted for tag end.
    std::size_t namesEnd(std::size_t tag) const;
    void spell(SourceTags::Name name, QString *text) const;
    bool sameName(const QString &name, SourceTags::Name noted);

    // Where tags go to elements by name, the whole document waits for the
    // first use; otherwise each element does.
    QDomDocument m_pendingDocument;
    QByteArray m_pendingSource;
    SourceTags m_tags;
    std::size_t m_pendingElements = 0;
    QString m_key; // the name looked up, and its local part: reused
    QString m_local;
    std::vector<Range> m_elements; // by ordinal
    std::vector<QDomNode> m_attributes;
};

#endif // ZGQX_ATTRIBUTEORDER_H
