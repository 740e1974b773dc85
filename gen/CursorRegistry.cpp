#include "CursorRegistry.h"

#include "NodeCursor.h"

CursorRegistry::CursorRegistry() = default;
CursorRegistry::~CursorRegistry() = default;

NodeCursor *CursorRegistry::live(const void *handle) const
{
    if (m_traversal.count(handle) != 0)
        return static_cast<NodeCursor *>(const_cast<void *>(handle));
    const auto it = m_queries.find(handle);
    if (it == m_queries.end() || it->second.owner == nullptr)
        return nullptr;
    return it->second.cursor.get();
}

bool CursorRegistry::isQuery(const void *handle) const
{
    return m_queries.count(handle) != 0;
}

bool CursorRegistry::isTraversal(const void *handle) const
{
    return m_traversal.count(handle) != 0;
}

const XmlDocument *CursorRegistry::ownerOf(const void *handle) const
{
    const auto walk = m_traversal.find(handle);
    if (walk != m_traversal.end())
        return walk->second;
    const auto query = m_queries.find(handle);
    return query == m_queries.end() ? nullptr : query->second.owner;
}

NodeCursor *CursorRegistry::adoptQuery(std::unique_ptr<NodeCursor> cursor, const XmlDocument *owner)
{
    NodeCursor *const handle = cursor.get();
    m_queriesByOwner[owner].insert(handle);
    m_queries.emplace(handle, Query { std::move(cursor), owner });
    return handle;
}

bool CursorRegistry::releaseQuery(const void *handle)
{
    const auto it = m_queries.find(handle);
    if (it == m_queries.end())
        return false;
    if (it->second.owner != nullptr) {
        // An emptied set stays until its document goes (orphanQueries): a
        // query walk releases one handle before it asks for the next.
        const auto owned = m_queriesByOwner.find(it->second.owner);
        if (owned != m_queriesByOwner.end())
            owned->second.erase(handle);
    }
    m_queries.erase(it);
    return true;
}

void CursorRegistry::orphanQueries(const XmlDocument *owner)
{
    const auto owned = m_queriesByOwner.find(owner);
    if (owned == m_queriesByOwner.end())
        return;
    for (const void *handle : owned->second) {
        Query &query = m_queries.at(handle);
        query.cursor->detach();
        query.owner = nullptr;
    }
    m_queriesByOwner.erase(owned);
}

void CursorRegistry::addTraversal(const NodeCursor *cursor, const XmlDocument *owner)
{
    m_traversal.emplace(cursor, owner);
}

void CursorRegistry::removeTraversal(const NodeCursor *cursor)
{
    m_traversal.erase(cursor);
}
