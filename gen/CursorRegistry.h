#ifndef ZGQX_CURSORREGISTRY_H
#define ZGQX_CURSORREGISTRY_H

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <unordered_set>

class NodeCursor;
class XmlDocument;

// Every cursor handle the C interface has handed out. A handle value from a
// caller is only ever dereferenced after it has been found here, so made-up,
// released and stale values cost a status code instead of the process.
//
// Query handles belong to the caller; the registry keeps them on the caller's
// behalf until they are released. When their document is deleted they become
// orphans: still releasable, but standing on nothing. Walk handles belong to
// their document's traversal and are only listed here while they live.
class CursorRegistry
{
public:
    CursorRegistry();
    ~CursorRegistry();
    CursorRegistry(const CursorRegistry &) = delete;
    CursorRegistry &operator=(const CursorRegistry &) = delete;

    // The cursor behind a handle that stands on a live document, or null for
    // unknown values and orphans.
    NodeCursor *live(const void *handle) const;
    bool isQuery(const void *handle) const;
    bool isTraversal(const void *handle) const;
    // The document a live handle stands in; null for unknown values and
    // orphans. A handle used with another document's ID still stands in its
    // own document, and so do the handles found under it.
    const XmlDocument *ownerOf(const void *handle) const;

    // Takes a new query handle made on document owner; returns it.
    NodeCursor *adoptQuery(std::unique_ptr<NodeCursor> cursor, const XmlDocument *owner);
    // Deletes a query handle, orphan or not; false for any other value.
    bool releaseQuery(const void *handle);
    // Detaches the query handles made on owner from it.
    void orphanQueries(const XmlDocument *owner);

    void addTraversal(const NodeCursor *cursor, const XmlDocument *owner);
    void removeTraversal(const NodeCursor *cursor);

    // How many handles are listed, orphans included (for tests and fuzzers).
    std::size_t queryCount() const { return m_queries.size(); }
    std::size_t traversalCount() const { return m_traversal.size(); }

private:
    struct Query
    {
        std::unique_ptr<NodeCursor> cursor;
        const XmlDocument *owner; // null once orphaned
    };
    std::unordered_map<const void *, Query> m_queries;
    std::unordered_map<const XmlDocument *, std::unordered_set<const void *>> m_queriesByOwner;
    std::unordered_map<const void *, const XmlDocument *> m_traversal;
};

#endif // ZGQX_CURSORREGISTRY_H
