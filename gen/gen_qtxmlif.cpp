// SPDX-License-Identifier: MIT
// The C interface: each function checks its arguments, finds its document,
// calls one operation and turns the outcome into a status code and a record.

#include "gen_qtxmlif.h"

#include "LogRecord.h"
#include "OutputFile.h"
#include "SaveCheck.h"
#include "XmlManager.h"
#include "gen_qtxmlif_internal.h"

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

using zgqx::givenText;
using zgqx::guarded;
using zgqx::isGiven;
using zgqx::setOutput;

void zgqx::assertionRecord(const char *condition, int line)
{
    noteRecord("check failed: %s", condition);
    gen__log_write("INTERNAL", "(%s) at %s %d\n", condition, ZGQX_SOURCE_PATH, line);
    gen__err_sound();
}

char *zgqx::copyOut(const QString &text, int line)
{
    // Names and values are mostly short: those are converted on the stack,
    // so that a copy costs one heap block (the caller's) instead of two.
    constexpr qsizetype bufferSize = 1024;
    QStringEncoder toLocal(QStringConverter::System, QStringConverter::Flag::Stateless);
    if (toLocal.requiredSpace(text.size()) < bufferSize) {
        char buffer[bufferSize];
        *toLocal.appendToBuffer(buffer, text) = '\0';
        return gen__str_dup_fn(buffer, ZGQX_SOURCE_PATH, line);
    }
    return gen__str_dup_fn(text.toLocal8Bit().constData(), ZGQX_SOURCE_PATH, line);
}

namespace {

XmlManager &xmlManager()
{
    return XmlManager::instance();
}

// False, after the argument's assertion record, when text is null or empty.
bool requireText(const char *text, const char *condition)
{
    if (text && text[0] != '\0')
        return true;
    ZGQX_ASSERTION_RECORD(condition);
    return false;
}

// The frame of every builder function: the working document must exist, and
// the operation must succeed.
template<typename Operation>
int build(Operation &&operation)
{
    XmlDocument *const document = xmlManager().findWorkingDocument();
    if (!document) {
        ZGQX_ASSERTION_RECORD("xmlManager.documentExist( doc_id )");
        return GEN_QTXMLIF_ENODOC;
    }
    const bool result = operation(*document);
    if (!result) {
        ZGQX_ASSERTION_RECORD("result == true");
        return GEN_QTXMLIF_EINVAL;
    }
    return GEN_QTXMLIF_OK;
}

// Finds a document for a walk or a query (making it the working document),
// or writes the not-found record.
XmlDocument *findForReading(int docId)
{
    XmlDocument *const document = xmlManager().documentForReading(docId);
    if (!document)
        ZGQX_ERROR_RECORD("XML document ID %d not found", docId);
    return document;
}

// Finds a document without moving the working document, or writes the
// not-found record.
const XmlDocument *findOrRecord(int docId)
{
    const XmlDocument *const document = xmlManager().findDocument(docId);
    if (!document)
        ZGQX_ERROR_RECORD("XML document ID %d not found", docId);
    return document;
}

// Empties a child variable before a child query. A query handle it holds is
// released; the parent of the same call and a walk's handle are still in use
// and make the call fail instead; any other value is merely overwritten.
bool clearChildVariable(void **child, const void *parent)
{
    if (!isGiven(child))
        return true;
    void *const held = *child;
    if (isGiven(held)) {
        CursorRegistry &cursors = xmlManager().cursors();
        if (held == parent || cursors.isTraversal(held)) {
            ZGQX_ASSERTION_RECORD("(*child != parent) && !isTraversalHandle(*child)");
            return false;
        }
        cursors.releaseQuery(held);
    }
    *child = nullptr;
    return true;
}

// The cursor behind a handle; null for absent, unknown, released and
// orphaned handles.
NodeCursor *liveCursor(const void *handle)
{
    return isGiven(handle) ? xmlManager().cursors().live(handle) : nullptr;
}

// The parent of a child query and the document it stands in. An absent
// handle finds nothing; a given one that is not live (released, stale,
// orphaned, made up) is refused after the assertion record.
struct Parent
{
    NodeCursor *cursor = nullptr;
    const XmlDocument *owner = nullptr;
};

bool resolveParent(const void *handle, Parent *parent)
{
    if (!isGiven(handle))
        return true;
    parent->cursor = xmlManager().cursors().live(handle, &parent->owner);
    if (!parent->cursor) {
        ZGQX_ASSERTION_RECORD("isLiveHandle(parent)");
        return false;
    }
    return true;
}

// Hands a new query cursor to the caller as a handle. It stands in its
// parent's document, which need not be the one the call named, and is
// orphaned when that document goes. Dropped when the caller gave nowhere to
// keep it.
void handOut(void **child, std::unique_ptr<NodeCursor> cursor, const XmlDocument *owner)
{
    if (cursor && isGiven(child))
        *child = xmlManager().cursors().adoptQuery(std::move(cursor), owner);
}

// False, after the error record, when the document holds a name or a character
// that XML cannot store: its file would be refused by every reader.
bool storable(int docId)
{
    const XmlDocument *const document = xmlManager().findDocument(docId);
    if (!document->needsSaveCheck())
        return true;
    const SaveCheck::Offence offence
        = SaveCheck::firstOffence(document->domDocument(), document->attributeOrder());
    const QByteArray what = offence.what.toLocal8Bit();
    switch (offence.kind) {
    case SaveCheck::Offence::None:
        return true;
    case SaveCheck::Offence::BadName:
        ZGQX_ERROR_RECORD(
            "XML document ID %d holds a name XML cannot store: %s", docId, what.constData());
        break;
    case SaveCheck::Offence::UnboundPrefix:
        ZGQX_ERROR_RECORD("XML document ID %d holds a name whose prefix is not declared: %s", docId,
            what.constData());
        break;
    case SaveCheck::Offence::BadCharacter:
        ZGQX_ERROR_RECORD(
            "XML document ID %d holds a character XML cannot store: %s", docId, what.constData());
        break;
    }
    return false;
}

} // namespace

// ---- Documents ---------------------------------------------------------------

int gen__qtxmlif_add_document(int *doc_id, const char *root_name)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        root_name = givenText(root_name);
        setOutput(doc_id, -1);
        int docID = -1;
        const XmlDocument *const doc
            = xmlManager().addDocument(&docID, QString::fromUtf8(root_name));
        if (!isGiven(doc) || docID < 0) {
            ZGQX_ASSERTION_RECORD("((unsigned int)(doc) > 1000) && docID >= 0");
            return GEN_QTXMLIF_EINVAL;
        }
        setOutput(doc_id, docID);
        return GEN_QTXMLIF_OK;
    });
}

void gen__qtxmlif_set_working_document(int doc_id)
{
    guarded(__func__, 0, [&] {
        xmlManager().setWorkingDocument(doc_id);
        return 0;
    });
}

int gen__qtxmlif_del_document(int doc_id)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        const int removedDocID = xmlManager().removeDocument(doc_id);
        if (removedDocID != doc_id) {
            ZGQX_ASSERTION_RECORD("removedDocID == doc_id");
            return GEN_QTXMLIF_ENODOC;
        }
        return GEN_QTXMLIF_OK;
    });
}

bool gen__qtxmlif_document_exist(int doc_id)
{
    return guarded(__func__, false, [&] {
        if (doc_id < 0) {
            ZGQX_ASSERTION_RECORD("doc_id >= 0");
            return false;
        }
        return xmlManager().documentExist(doc_id);
    });
}

// ---- Building ----------------------------------------------------------------

int gen__qtxmlif_add_node(const char *node_name)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        node_name = givenText(node_name);
        if (!requireText(node_name, "!((node_name) ? (node_name)[0]=='\\0' : true)"))
            return GEN_QTXMLIF_EINVAL;
        const QString name = QString::fromUtf8(node_name);
        return build([&](XmlDocument &doc) { return doc.addNode(name); });
    });
}

int gen__qtxmlif_open_node(const char *node_name)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        node_name = givenText(node_name);
        if (!requireText(node_name, "!((node_name) ? (node_name)[0]=='\\0' : true)"))
            return GEN_QTXMLIF_EINVAL;
        const QString name = QString::fromUtf8(node_name).trimmed().replace(u' ', u'_');
        return build([&](XmlDocument &doc) { return doc.addNode(name) && doc.openLevel(); });
    });
}

int gen__qtxmlif_close_node(void)
{
    return gen__qtxmlif_close_level();
}

int gen__qtxmlif_add_attr(const char *attr_name, const char *attr_value)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        attr_name = givenText(attr_name);
        attr_value = givenText(attr_value);
        if (!requireText(attr_name, "!((attr_name) ? (attr_name)[0]=='\\0' : true)"))
            return GEN_QTXMLIF_EINVAL;
        const QString name = QString::fromUtf8(attr_name);
        const QString value = QString::fromLocal8Bit(attr_value);
        return build([&](XmlDocument &doc) { return doc.addAttribute(name, value); });
    });
}

int gen__qtxmlif_add_text(const char *text_val)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        text_val = givenText(text_val);
        if (!requireText(text_val, "!((text_val) ? (text_val)[0]=='\\0' : true)"))
            return GEN_QTXMLIF_EINVAL;
        const QString text = QString::fromUtf8(text_val);
        return build([&](XmlDocument &doc) { return doc.addText(text); });
    });
}

int gen__qtxmlif_open_level(void)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL,
        [] { return build([](XmlDocument &doc) { return doc.openLevel(); }); });
}

int gen__qtxmlif_close_level(void)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL,
        [] { return build([](XmlDocument &doc) { return doc.closeLevel(); }); });
}

// ---- Entity traversal ----------------------------------------------------------

int gen__qtxmlif_begin_traversion(int doc_id, const char *start_node_name, void **node_ptr)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        start_node_name = givenText(start_node_name);
        setOutput(node_ptr, nullptr);
        XmlDocument *const doc = findForReading(doc_id);
        if (!doc)
            return GEN_QTXMLIF_ENOTFOUND;
        void *const start = doc->beginTraversal(QString::fromUtf8(start_node_name));
        if (!start)
            return GEN_QTXMLIF_EINVAL;
        setOutput(node_ptr, start);
        return GEN_QTXMLIF_OK;
    });
}

int gen__qtxmlif_get_next_entity(
    int doc_id, int *entity_type, char **name, char **value, int *depth, bool *end_flag)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        setOutput(entity_type, XML_ETYPE_NONE);
        setOutput(name, nullptr);
        setOutput(value, nullptr);
        setOutput(depth, -1);
        setOutput(end_flag, false);
        XmlDocument *const doc = findForReading(doc_id);
        if (!doc)
            return GEN_QTXMLIF_ENOTFOUND;
        XmlEntity entity;
        const bool walking = doc->nextEntity(&entity);
        const bool known = entity.type >= XML_ETYPE_NODE && entity.type <= XML_ETYPE_TEXT;
        setOutput(entity_type, known ? entity.type : XML_ETYPE_NONE);
        if (isGiven(name))
            *name = ZGQX_COPY_OUT(entity.name);
        if (isGiven(value))
            *value = ZGQX_COPY_OUT(entity.value);
        setOutput(depth, entity.depth);
        setOutput(end_flag, entity.end);
        return walking ? GEN_QTXMLIF_OK : GEN_QTXMLIF_END;
    });
}

int gen__qtxmlif_end_traversion(int doc_id)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        XmlDocument *const doc = findForReading(doc_id);
        if (!doc)
            return GEN_QTXMLIF_ENOTFOUND;
        doc->endTraversal();
        return GEN_QTXMLIF_OK;
    });
}

namespace {

// has_next_attr and has_next_child differ only in the question asked.
template<typename Question>
int askWalk(int docId, bool *answer, Question &&question)
{
    setOutput(answer, false);
    const XmlDocument *const doc = findForReading(docId);
    if (!doc)
        return GEN_QTXMLIF_ENOTFOUND;
    bool result = false;
    if (!question(*doc, &result)) {
        ZGQX_ERROR_RECORD("XML document ID %d not found or illegal XML entity.", docId);
        return GEN_QTXMLIF_EINVAL;
    }
    setOutput(answer, result);
    return GEN_QTXMLIF_OK;
}

} // namespace

int gen__qtxmlif_has_next_attr(int doc_id, bool *answer)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        return askWalk(doc_id, answer,
            [](const XmlDocument &doc, bool *result) { return doc.hasNextAttribute(result); });
    });
}

int gen__qtxmlif_has_next_child(int doc_id, bool *answer)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        return askWalk(doc_id, answer,
            [](const XmlDocument &doc, bool *result) { return doc.hasNextChild(result); });
    });
}

// ---- Node queries and string output ------------------------------------------

int gen__qtxmlif_get_next_child_node(int doc_id, void *parent, char **child_name, void **child)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        setOutput(child_name, nullptr);
        Parent from;
        if (!clearChildVariable(child, parent) || !resolveParent(parent, &from))
            return GEN_QTXMLIF_EINVAL;
        if (!findForReading(doc_id))
            return GEN_QTXMLIF_ENOTFOUND;
        std::unique_ptr<NodeCursor> found = XmlDocument::nextChildNode(from.cursor);
        if (found && isGiven(child_name))
            *child_name = ZGQX_COPY_OUT(found->nodeName());
        handOut(child, std::move(found), from.owner);
        return GEN_QTXMLIF_OK;
    });
}

int gen__qtxmlif_get_named_child_node(
    int doc_id, void *parent, const char *child_name, void **child, int *depth)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        child_name = givenText(child_name);
        setOutput(depth, -1);
        if (!clearChildVariable(child, parent))
            return GEN_QTXMLIF_EINVAL;
        if (!child_name || child_name[0] == '\0')
            return GEN_QTXMLIF_OK;
        Parent from;
        if (!resolveParent(parent, &from))
            return GEN_QTXMLIF_EINVAL;
        if (!findForReading(doc_id))
            return GEN_QTXMLIF_ENOTFOUND;
        std::unique_ptr<NodeCursor> found
            = XmlDocument::namedChildNode(from.cursor, QString::fromUtf8(child_name));
        if (found)
            setOutput(depth, found->depth());
        handOut(child, std::move(found), from.owner);
        return GEN_QTXMLIF_OK;
    });
}

int gen__qtxmlif_get_named_attribute(
    int doc_id, void *node_ptr, const char *attr_name, char **value, bool *found)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        attr_name = givenText(attr_name);
        // Unknown and orphaned handles are refused like absent ones: there is
        // nothing behind them to read.
        const NodeCursor *const cursor = liveCursor(node_ptr);
        if (!cursor) {
            ZGQX_ASSERTION_RECORD("((unsigned int)(node_ptr) > 1000)");
            return GEN_QTXMLIF_EINVAL;
        }
        setOutput(value, nullptr);
        setOutput(found, false);
        if (!findForReading(doc_id))
            return GEN_QTXMLIF_ENOTFOUND;
        QString text;
        const bool exists
            = XmlDocument::namedAttribute(*cursor, QString::fromUtf8(attr_name), &text);
        if (isGiven(value))
            *value = ZGQX_COPY_OUT(text);
        setOutput(found, exists);
        return GEN_QTXMLIF_OK;
    });
}

void gen__qtxmlif_delete_node(void **node)
{
    guarded(__func__, 0, [&] {
        if (isGiven(node) && xmlManager().cursors().releaseQuery(*node))
            *node = nullptr;
        return 0;
    });
}

int gen__qtxmlif_doc_to_string(int doc_id, gen_qtxmlif_qstring *qstring_ptr)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        if (!isGiven(qstring_ptr)) {
            ZGQX_ASSERTION_RECORD("((unsigned int)(qstring_ptr) > 1000)");
            return GEN_QTXMLIF_EINVAL;
        }
        const XmlDocument *const doc = findOrRecord(doc_id);
        if (!doc)
            return GEN_QTXMLIF_ENOTFOUND;
        *qstring_ptr = doc->toString();
        return GEN_QTXMLIF_OK;
    });
}

// ---- Files ---------------------------------------------------------------------

int gen__qtxmlif_load(const char *file_path, int *doc)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        file_path = givenText(file_path);
        if (!file_path || file_path[0] == '\0') {
            ZGQX_ASSERTION_RECORD("!((file_path) ? (file_path)[0]=='\\0' : true)");
            return GEN_QTXMLIF_ENODOC;
        }
        setOutput(doc, -1);
        const QFileInfo info(QString::fromUtf8(file_path));
        if (!info.exists()) {
            ZGQX_ERROR_RECORD("Unable to find document: %s", file_path);
            return GEN_QTXMLIF_ENODOC;
        }
        QFile file(info.filePath());
        // Not in text mode: it drops every '\r' byte, which breaks UTF-16
        // files and the parser's own line-end handling. Unbuffered: the
        // file is read in large blocks anyway.
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            zgqx::noteReason(file.errorString());
            ZGQX_ERROR_RECORD("Unable to open document: %s", file_path);
            return GEN_QTXMLIF_EOPEN;
        }
        const LoadOutcome outcome = xmlManager().loadDocument(&file);
        file.close();
        switch (outcome.cause) {
        case LoadOutcome::Loaded:
            setOutput(doc, outcome.documentId);
            return GEN_QTXMLIF_OK;
        case LoadOutcome::NoId:
            // Reported as gen__qtxmlif_add_document() reports it.
            ZGQX_ASSERTION_RECORD("((unsigned int)(doc) > 1000) && docID >= 0");
            return GEN_QTXMLIF_EINVAL;
        case LoadOutcome::Unreadable:
            zgqx::noteReason(outcome.message);
            ZGQX_ERROR_RECORD("Unable to read document: %s", file_path);
            return GEN_QTXMLIF_EOPEN;
        case LoadOutcome::NotWellFormed:
        case LoadOutcome::PastLimits:
            break;
        }
        // The caller's detail is the parser's message, or the limit passed.
        zgqx::noteDetail(outcome.message, outcome.line, outcome.column);
        ZGQX_ERROR_RECORD("XML document syntax error in file: %s\nError found in line %d, "
                          "column %d.\n",
            file_path, outcome.line, outcome.column);
        return GEN_QTXMLIF_ESYNTAX;
    });
}

int gen__qtxmlif_save(int doc_id, const char *file_path)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        file_path = givenText(file_path);
        OutputFile file(QString::fromUtf8(file_path));
        if (!xmlManager().documentExist(doc_id)) {
            ZGQX_ERROR_RECORD("XML document ID %d not found", doc_id);
            return GEN_QTXMLIF_ENOTFOUND;
        }
        if (!storable(doc_id))
            return GEN_QTXMLIF_ESAVE;
        if (!file.open()) {
            zgqx::noteReason(file.device()->errorString());
            ZGQX_ERROR_RECORD("Unable to open file for saving : %s", file_path ? file_path : "");
            return GEN_QTXMLIF_ESAVE;
        }
        // A write that failed part-way must not replace the previous file.
        const bool written = xmlManager().saveDocument(file.device(), doc_id);
        if (!written)
            file.cancel();
        if (!written || !file.commit()) {
            zgqx::noteReason(file.device()->errorString());
            ZGQX_ERROR_RECORD("error saving XML document: %s", file_path);
            return GEN_QTXMLIF_ESAVE;
        }
        return GEN_QTXMLIF_OK;
    });
}

// ---- Diagnostics and version ----------------------------------------------------

const char *gen__qtxmlif_status_text(int status)
{
    switch (status) {
    case GEN_QTXMLIF_OK:
        return "success";
    case GEN_QTXMLIF_EINVAL:
        return "invalid argument, or the operation could not be carried out";
    case GEN_QTXMLIF_ENODOC:
        return "the document is missing";
    case GEN_QTXMLIF_EOPEN:
        return "the file could not be opened for reading";
    case GEN_QTXMLIF_ESYNTAX:
        return "the file is not well-formed XML or passes a limit";
    case GEN_QTXMLIF_ENOTFOUND:
        return "no live document has this ID";
    case GEN_QTXMLIF_ESAVE:
        return "the document could not be saved";
    case GEN_QTXMLIF_END:
        return "the walk has ended";
    default:
        return "unknown status code";
    }
}

int gen__qtxmlif_last_error(const char **message, int *line, int *column)
{
    const zgqx::FailureDetail &last = zgqx::lastFailure();
    setOutput(message, last.message);
    setOutput(line, last.line);
    setOutput(column, last.column);
    return last.status;
}

int gen__qtxmlif_doc_to_utf8(int doc_id, char **text)
{
    return guarded(__func__, GEN_QTXMLIF_EINVAL, [&] {
        if (!isGiven(text)) {
            ZGQX_ASSERTION_RECORD("((unsigned int)(text) > 1000)");
            return GEN_QTXMLIF_EINVAL;
        }
        *text = nullptr;
        const XmlDocument *const doc = findOrRecord(doc_id);
        if (!doc)
            return GEN_QTXMLIF_ENOTFOUND;
        *text = gen__str_dup_fn(doc->toString().toUtf8().constData(), ZGQX_SOURCE_PATH, __LINE__);
        if (!*text) {
            ZGQX_ERROR_RECORD("out of memory in %s", __func__);
            return GEN_QTXMLIF_EINVAL;
        }
        return GEN_QTXMLIF_OK;
    });
}

int gen__qtxmlif_version(void)
{
    return GEN_QTXMLIF_VERSION_NUMBER;
}
