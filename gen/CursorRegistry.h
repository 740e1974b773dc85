// SPDX-License-Identifier: MIT
#ifndef ZGQX_CURSORREGISTRY_H
#define ZGQX_CURSORREGISTRY_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

class NodeCursor;
class XmlDocument;

// Every cursor handle the C interface has handed out. A handle is a number
// of our own, never an address: each new handle takes the next value, so a
// released or stale one can never come to stand for a later cursor, and a
// value from a caller is only turned into a cursor by looking it up here.
//
// Query handles belong to the caller; the registry keeps them on the caller's
// behalf until they are released. When their document is deleted they become
// orphans: still releasable, but standing on nothing. Walk handles belong to
// their document's walk and are only listed here while they live.
class CursorRegistry
{
public:
    CursorRegistry();
    ~CursorRegistry();
    CursorRegistry(const CursorRegistry &) = delete;
    CursorRegistry &operator=(const CursorRegistry &) = delete;

    // The cursor behind a handle that stands on a live document, or null for
    // unknown values and orphans. The second form also hands back the
    // document it stands in.
    NodeCursor *live(const void *handle) const;
    NodeCursor *live(const void *handle, const XmlDocument **owner) const;
    bool isQuery(const void *handle) const;
    bool isTraversal(const void *handle) const;
    // The document a live handle stands in; null for unknown values and
    // orphans. A handle used with another document's ID still stands in its
    // own document, and so do the handles found under it.
    const XmlDocument *ownerOf(const void *handle) const;

    // Takes a new query cursor made on document owner; returns its handle.
    void *adoptQuery(std::unique_ptr<NodeCursor> cursor, const XmlDocument *owner);
    // Deletes a query handle, orphan or not; false for any other value.
    bool releaseQuery(const void *handle);
    // Detaches the query handles made on owner from it.
    void orphanQueries(const XmlDocument *owner);

    // Lists a walk's cursor, which owner keeps; returns its handle.
    void *addTraversal(NodeCursor *cursor, const XmlDocument *owner);
    void removeTraversal(const void *handle);

    // How many handles are listed, orphans included (for tests and fuzzers).
    std::size_t queryCount() const { return m_handles.size() - m_traversalCount; }
    std::size_t traversalCount() const { return m_traversalCount; }

private:
    using Handle = std::uintptr_t;
    struct Entry
    {
        NodeCursor *cursor;
        std::unique_ptr<NodeCursor> owned; // a query's cursor; null for a walk's
        const XmlDocument *owner; // null once orphaned
        // The other live queries on owner, as a list through the entries: a
        // query costs no allocation of its own in the registry. 0 for none.
        Handle previous = 0;
        Handle next = 0;
    };

    static Handle key(const void *handle) { return reinterpret_cast<Handle>(handle); }
    const Entry *find(const void *handle) const;
    Handle add(Entry entry);
    void unlink(const Entry &entry);

    std::unordered_map<Handle, Entry> m_handles;
    // The first live query on each document; 0 once all are released, kept
    // so that a query walk, releasing each handle before it asks for the
    // next, does not add and remove the document every time.
    std::unordered_map<const XmlDocument *, Handle> m_firstQuery;
    std::size_t m_traversalCount = 0;
    // The last value handed out. Values start far above the pointer rule's
    // 1000, and a 64-bit count does not come round within a process.
    Handle m_lastHandle = 0xFFFF;
};

#endif // ZGQX_CURSORREGISTRY_H
