// SPDX-License-Identifier: MIT
#include "XmlManager.h"

#include "XmlLimits.h"

#include <QIODevice>

#include <limits>
#include <utility>

XmlManager &XmlManager::instance()
{
    // Never destroyed: documents a caller did not delete live until the
    // process ends, and no exit-time destructor can race a late caller.
    static XmlManager *const manager = new XmlManager;
    return *manager;
}

XmlManager::XmlManager() = default;

XmlManager::~XmlManager()
{
    while (!m_documents.empty())
        removeDocument(m_documents.begin()->first);
}

XmlDocument *XmlManager::addDocument(int *documentId, const QString &rootName)
{
    if (m_lastDocumentId == std::numeric_limits<int>::max())
        return nullptr;
    const int id = m_lastDocumentId + 1;
    auto document = std::make_unique<XmlDocument>(id, rootName, m_cursors);
    m_lastDocumentId = id;
    if (documentId)
        *documentId = id;
    XmlDocument *const result = document.get();
    m_documents.emplace(id, std::move(document));
    makeWorking(result);
    return result;
}

int XmlManager::removeDocument(int documentId)
{
    const auto it = m_documents.find(documentId);
    if (it == m_documents.end())
        return -1;
    m_cursors.orphanQueries(it->second.get());
    m_documents.erase(it);
    makeWorking(nullptr);
    return documentId;
}

XmlDocument *XmlManager::findDocument(int documentId) const
{
    const auto it = m_documents.find(documentId);
    return it == m_documents.end() ? nullptr : it->second.get();
}

XmlDocument *XmlManager::documentForReading(int documentId)
{
    XmlDocument *const document = findDocument(documentId);
    if (document)
        makeWorking(document);
    return document;
}

void XmlManager::setWorkingDocument(int documentId)
{
    makeWorking(findDocument(documentId));
}

void XmlManager::makeWorking(XmlDocument *document)
{
    m_workingDocument = document;
    m_workingDocumentId = document ? document->documentId() : -1;
}

LoadOutcome XmlManager::loadDocument(QIODevice *device)
{
    LoadOutcome outcome;
    int id = -1;
    XmlDocument *const document = addDocument(&id, QString());
    if (!document) {
        outcome.cause = LoadOutcome::NoId;
        return outcome;
    }
    QByteArray xml;
    SourceTags tags;
    if (XmlLimits::read(device, &xml, &outcome, &tags)) {
        if (document->setContent(xml, &outcome, std::move(tags))) {
            outcome.documentId = id;
            return outcome;
        }
    } else if (outcome.cause == LoadOutcome::NotWellFormed) {
        // Reading stopped at data that can be no XML: what the parser makes
        // of the part read gives a better message. Should it accept that
        // part, the refusal stands as it is.
        const LoadOutcome stopped = outcome;
        if (document->setContent(xml, &outcome))
            outcome = stopped;
    }
    removeDocument(id);
    return outcome;
}

bool XmlManager::saveDocument(QIODevice *device, int documentId) const
{
    const XmlDocument *const document = findDocument(documentId);
    return document && document->save(device);
}
