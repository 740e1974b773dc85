// SPDX-License-Identifier: MIT
#ifndef ZGQX_XMLMANAGER_H
#define ZGQX_XMLMANAGER_H

#include "CursorRegistry.h"
#include "LoadOutcome.h"
#include "XmlDocument.h"

#include <memory>
#include <unordered_map>

class QIODevice;
class QString;

// The process-wide holder of every document, of the working document ID and
// of the cursor handles handed to C callers.
class XmlManager
{
public:
    // The single manager, made on first use and kept until the process ends.
    static XmlManager &instance();

    XmlManager();
    ~XmlManager();
    XmlManager(const XmlManager &) = delete;
    XmlManager &operator=(const XmlManager &) = delete;

    // Creates a document and makes it the working document; null when none
    // could be made (IDs used up).
    XmlDocument *addDocument(int *documentId, const QString &rootName);
    // The removed ID, or -1 when no document has that ID.
    int removeDocument(int documentId);
    XmlDocument *findDocument(int documentId) const;
    bool documentExist(int documentId) const { return findDocument(documentId) != nullptr; }
    // Finds a document for a walk or a query, which makes it the working one.
    XmlDocument *documentForReading(int documentId);

    void setWorkingDocument(int documentId);
    int workingDocument() const { return m_workingDocumentId; }
    XmlDocument *findWorkingDocument() const { return m_workingDocument; }

    // Reads device into a new document. On failure the document is removed
    // again and its ID stays used up.
    LoadOutcome loadDocument(QIODevice *device);
    bool saveDocument(QIODevice *device, int documentId) const;

    CursorRegistry &cursors() { return m_cursors; }
    int documentCount() const { return static_cast<int>(m_documents.size()); }

private:
    friend struct XmlManagerTestAccess;

    // Sets the working document and its ID together; null for none.
    void makeWorking(XmlDocument *document);

    // Nothing depends on the order of the documents: found by ID in constant
    // time, however many are live.
    std::unordered_map<int, std::unique_ptr<XmlDocument>> m_documents;
    int m_lastDocumentId = 0;
    int m_workingDocumentId = -1;
    // The builder's target, found without a lookup; every path that changes
    // m_workingDocumentId goes through makeWorking().
    XmlDocument *m_workingDocument = nullptr;
    CursorRegistry m_cursors;
};

#endif // ZGQX_XMLMANAGER_H
