// SPDX-License-Identifier: MIT
#include "CursorRegistry.h"

#include "NodeCursor.h"

#include <utility>

CursorRegistry::CursorRegistry() = default;
CursorRegistry::~CursorRegistry() = default;

const CursorRegistry::Entry *CursorRegistry::find(const void *handle) const
{
    const auto it = m_handles.find(key(handle));
    return it == m_handles.end() ? nullptr : &it->second;
}

CursorRegistry::Handle CursorRegistry::add(Entry entry)
{
    // Where the count can come round (32-bit), skip the pointer rule's small
    // values and the values still in use.
    do {
        ++m_lastHandle;
    } while (sizeof(Handle) < 8 && (m_lastHandle <= 1000 || m_handles.count(m_lastHandle) != 0));
    m_handles.emplace(m_lastHandle, std::move(entry));
    return m_lastHandle;
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
    Handle &first = m_firstQuery[owner];
    const Handle handle = add(Entry { raw, std::move(cursor), owner, 0, first });
    if (first != 0)
        m_handles.at(first).previous = handle;
    first = handle;
    return reinterpret_cast<void *>(handle);
}

void CursorRegistry::unlink(const Entry &entry)
{
    if (entry.previous != 0)
        m_handles.at(entry.previous).next = entry.next;
    else
        m_firstQuery[entry.owner] = entry.next;
    if (entry.next != 0)
        m_handles.at(entry.next).previous = entry.previous;
}

bool CursorRegistry::releaseQuery(const void *handle)
{
    const auto it = m_handles.find(key(handle));
    if (it == m_handles.end() || !it->second.owned)
        return false;
    if (it->second.owner != nullptr)
        unlink(it->second);
    m_handles.erase(it);
    return true;
}

void CursorRegistry::orphanQueries(const XmlDocument *owner)
{
    const auto first = m_firstQuery.find(owner);
    if (first == m_firstQuery.end())
        return;
    for (Handle handle = first->second; handle != 0;) {
        Entry &entry = m_handles.at(handle);
        entry.cursor->detach();
        entry.owner = nullptr;
        handle = std::exchange(entry.next, 0);
        entry.previous = 0;
    }
    m_firstQuery.erase(first);
}

void *CursorRegistry::addTraversal(NodeCursor *cursor, const XmlDocument *owner)
{
    const Handle handle = add(Entry { cursor, nullptr, owner });
    ++m_traversalCount;
    return reinterpret_cast<void *>(handle);
}

void CursorRegistry::removeTraversal(const void *handle)
{
    const auto it = m_handles.find(key(handle));
    if (it == m_handles.end() || it->second.owned)
        return;
    m_handles.erase(it);
    --m_traversalCount;
}
