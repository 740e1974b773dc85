// SPDX-License-Identifier: MIT
#include "CursorRegistry.h"

#include "NodeCursor.h"

CursorRegistry::CursorRegistry() = default;
CursorRegistry::~CursorRegistry() = default;

const CursorRegistry::Entry *CursorRegistry::find(const void *handle) const
{
    const auto it = m_handles.find(key(handle));
    return it == m_handles.end() ? nullptr : &it->second;
}

void *CursorRegistry::add(Entry entry)
{
    // Where the count can come round (32-bit), skip the pointer rule's small
    // values and the values still in use.
    do {
        ++m_lastHandle;
    } while (sizeof(Handle) < 8 && (m_lastHandle <= 1000 || m_handles.count(m_lastHandle) != 0));
    m_handles.emplace(m_lastHandle, std::move(entry));
    return reinterpret_cast<void *>(m_lastHandle);
}

NodeCursor *CursorRegistry::live(const void *handle) const
{
    const Entry *const entry = find(handle);
    return entry && entry->owner ? entry->cursor : nullptr;
}

NodeCursor *CursorRegistry::live(const void *handle, const XmlDocument **owner) const
{
    const Entry *const entry = find(handle);
    if (!entry || !entry->owner)
        return nullptr;
    *owner = entry->owner;
    return entry->cursor;
}

bool CursorRegistry::isQuery(const void *handle) const
{
    const Entry *const entry = find(handle);
    return entry && entry->owned;
}

bool CursorRegistry::isTraversal(const void *handle) const
{
    const Entry *const entry = find(handle);
    return entry && !entry->owned;
}

const XmlDocument *CursorRegistry::ownerOf(const void *handle) const
{
    const Entry *const entry = find(handle);
    return entry ? entry->owner : nullptr;
}

void *CursorRegistry::adoptQuery(std::unique_ptr<NodeCursor> cursor, const XmlDocument *owner)
{
    NodeCursor *const raw = cursor.get();
    void *const handle = add(Entry { raw, std::move(cursor), owner });
    m_queriesByOwner[owner].insert(key(handle));
    return handle;
}

bool CursorRegistry::releaseQuery(const void *handle)
{
    const auto it = m_handles.find(key(handle));
    if (it == m_handles.end() || !it->second.owned)
        return false;
    if (it->second.owner != nullptr) {
        // An emptied set stays until its document goes (orphanQueries): a
        // query walk releases one handle before it asks for the next.
        const auto owned = m_queriesByOwner.find(it->second.owner);
        if (owned != m_queriesByOwner.end())
            owned->second.erase(it->first);
    }
    m_handles.erase(it);
    return true;
}

void CursorRegistry::orphanQueries(const XmlDocument *owner)
{
    const auto owned = m_queriesByOwner.find(owner);
    if (owned == m_queriesByOwner.end())
        return;
    for (const Handle handle : owned->second) {
        Entry &entry = m_handles.at(handle);
        entry.cursor->detach();
        entry.owner = nullptr;
    }
    m_queriesByOwner.erase(owned);
}

void *CursorRegistry::addTraversal(NodeCursor *cursor, const XmlDocument *owner)
{
    void *const handle = add(Entry { cursor, nullptr, owner });
    ++m_traversalCount;
    return handle;
}

void CursorRegistry::removeTraversal(const void *handle)
{
    const auto it = m_handles.find(key(handle));
    if (it == m_handles.end() || it->second.owned)
        return;
    m_handles.erase(it);
    --m_traversalCount;
}
