// API-sequence fuzzer: reads its input as a program of C-interface calls and
// runs it against a model of what the interface promises (gen_qtxmlif.h).
// After every call it checks the status code, the
// out-parameters, the records written, the working document, the documents and
// handles the library holds, and that every string copy handed out was
// released. Handles passed in are live, released, stale (of an ended walk or a
// deleted document), of another document, or made up.
//
// Program format: each call is one opcode byte followed by the bytes its
// arguments take (see the Program class); a missing byte reads as 0.

#include "FuzzSupport.h"
#include "LowLevelRecorder.h"
#include "NodeCursor.h"
#include "XmlManager.h"
#include "gen_qtxmlif.h"
#include "gen_qtxmlif_internal.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using fuzz::Records;

XmlManager &manager()
{
    return XmlManager::instance();
}

CursorRegistry &registry()
{
    return manager().cursors();
}

bool given(const void *pointer)
{
    return reinterpret_cast<std::uintptr_t>(pointer) > 1000;
}

// A pointer value at or below 1000: "not given" by the pointer rule.
template<typename T>
T *small(unsigned value)
{
    return reinterpret_cast<T *>(std::uintptr_t(value % 1001));
}

class Program
{
public:
    Program(const uint8_t *data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool more() const { return m_pos < m_size; }
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    unsigned pick(unsigned count) { return byte() % count; }
    std::string bytes(std::size_t max)
    {
        std::size_t length = pick(unsigned(max + 1));
        if (length > m_size - std::min(m_pos, m_size))
            length = m_size - std::min(m_pos, m_size);
        std::string text(reinterpret_cast<const char *>(m_data + m_pos), length);
        m_pos += length;
        return text;
    }

private:
    const uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// A C-string argument: null, a small value (not given), or text.
struct Text
{
    enum Kind { Null, Small, String } kind = Null;
    std::uintptr_t smallValue = 0;
    std::string text;

    const char *get() const
    {
        switch (kind) {
        case Null:
            return nullptr;
        case Small:
            return reinterpret_cast<const char *>(smallValue);
        case String:
            break;
        }
        return text.c_str();
    }
    // Given and not empty.
    bool nonEmpty() const { return kind == String && !text.empty() && text[0] != '\0'; }
};

const char *const kNames[] = { "root", "a", "b", "c", "kid", "Kids", "x", "y", "ns:a", " a b ",
    "   ", "\xc3\xa9", "a&b", "<", "xmlRoot", "k i d" };

Text text(Program &p)
{
    Text t;
    switch (p.pick(8)) {
    case 0:
        t.kind = Text::Null;
        break;
    case 1:
        t.kind = Text::Small;
        t.smallValue = 1 + p.pick(250) * 4;
        break;
    case 2:
        t.kind = Text::String;
        break;
    case 3:
        t.kind = Text::String;
        t.text = p.bytes(12);
        break;
    default:
        t.kind = Text::String;
        t.text = kNames[p.pick(sizeof kNames / sizeof kNames[0])];
        break;
    }
    return t;
}

// ---- The model ---------------------------------------------------------------

struct Document
{
    bool traversed = false; // a walk was begun: building is over
    int levels = 0;
    bool lastIsCurrent = true; // lastAdded and current stand on one node
    std::string rootName; // empty when not known (loaded)
    bool walking = false;
    // The walk's entity model; valid only while every entity was seen whole.
    bool sequenceKnown = false;
    std::vector<std::string> open; // "?" for names not seen
    bool attributesAllowed = false;
};

enum class Kind { Query, Orphan, Released, Traversal, TraversalDead, MadeUp };

struct Handle
{
    Kind kind;
    int doc; // the document a query or walk handle stands in
};

struct Model
{
    std::map<int, Document> docs;
    int working = -1;
    std::map<const void *, Handle> handles;
    std::vector<void *> pool; // handle values seen, to pass back in
    void *vars[6] = {};
    bool savedExists[4] = {};

    std::size_t queryHandles() const
    {
        std::size_t count = 0;
        for (const auto &entry : handles) {
            if (entry.second.kind == Kind::Query || entry.second.kind == Kind::Orphan)
                ++count;
        }
        return count;
    }
    bool live(int doc) const { return docs.count(doc) != 0; }
    Kind kindOf(const void *value) const
    {
        const auto it = handles.find(value);
        return it == handles.end() ? Kind::MadeUp : it->second.kind;
    }
};

// The last ID handed out in this process (loads that fail use one up too).
int g_lastId = 0;
char g_fake[64];

// A value the caller hands in as a cursor handle.
void *handleArgument(Program &p, Model &m)
{
    switch (p.pick(4)) {
    case 0:
        return m.vars[p.pick(6)];
    case 1:
    case 2:
        if (!m.pool.empty())
            return m.pool[p.pick(unsigned(m.pool.size()))];
        return nullptr;
    default:
        break;
    }
    static void *const madeUp[] = { nullptr, reinterpret_cast<void *>(1),
        reinterpret_cast<void *>(1000), reinterpret_cast<void *>(1001), g_fake, g_fake + 8,
        reinterpret_cast<void *>(0x10000), reinterpret_cast<void *>(0x7ffdeadbeef0) };
    return madeUp[p.pick(sizeof madeUp / sizeof madeUp[0])];
}

int documentArgument(Program &p, const Model &m)
{
    switch (p.pick(4)) {
    case 0:
        return m.working;
    case 1:
        if (!m.docs.empty()) {
            auto it = m.docs.begin();
            std::advance(it, p.pick(unsigned(m.docs.size())));
            return it->first;
        }
        return g_lastId;
    case 2:
        return g_lastId - int(p.pick(4)); // recent, perhaps deleted
    default:
        break;
    }
    static const int odd[] = { -1, 0, -7, 1, 1000000, -2147483647 - 1, 2147483647 };
    return odd[p.pick(sizeof odd / sizeof odd[0])];
}

// What the library knows about a value the model holds for dead: it may be
// listed as a walk handle again (an address reused by a later walk), but it
// can never be a query handle, because every query handle is seen by the
// model when it is handed out.
bool reusedByWalk(const Model &m, const void *value)
{
    const Kind kind = m.kindOf(value);
    if (kind == Kind::Query || kind == Kind::Orphan || !given(value))
        return false;
    FUZZ_CHECK(!registry().isQuery(value));
    if (kind == Kind::Traversal)
        return false;
    return registry().isTraversal(value);
}

// Whether the library treats value as a live handle, as the model sees it.
// Sets *owner to its document.
bool expectLive(const Model &m, const void *value, int *owner)
{
    if (!given(value))
        return false;
    const auto it = m.handles.find(value);
    if (it == m.handles.end()) {
        // A made-up value; it may have met a walk's address by chance.
        FUZZ_CHECK(!registry().isQuery(value));
        return false;
    }
    *owner = it->second.doc;
    if (it->second.doc == -2)
        return registry().live(value) != nullptr;
    switch (it->second.kind) {
    case Kind::Query:
        FUZZ_CHECK(registry().isQuery(value));
        FUZZ_CHECK(registry().live(value) == value);
        return true;
    case Kind::Orphan:
        FUZZ_CHECK(registry().isQuery(value));
        FUZZ_CHECK(registry().live(value) == nullptr);
        return false;
    case Kind::Traversal:
        // Live until the walk has delivered its element's end.
        return registry().isTraversal(value);
    default:
        FUZZ_CHECK(!registry().isQuery(value));
        return false;
    }
}

// Marks the walk handles of doc dead. After a new walk has begun, its own
// handle may stand where an old one stood (the walk's cursors are reused), so
// an old value may be listed again, but only as a handle of doc.
void forgetWalk(Model &m, int doc, bool begunAgain = false)
{
    const XmlDocument *const owner = begunAgain ? manager().findDocument(doc) : nullptr;
    for (auto &entry : m.handles) {
        if (entry.second.kind == Kind::Traversal && entry.second.doc == doc) {
            entry.second.kind = Kind::TraversalDead;
            FUZZ_CHECK(!registry().isTraversal(entry.first)
                || (owner && registry().ownerOf(entry.first) == owner));
        }
    }
    Document &d = m.docs[doc];
    d.walking = false;
    d.sequenceKnown = false;
    d.open.clear();
}

void remember(Model &m, void *value, Kind kind, int doc)
{
    // A new handle is never one the caller already holds.
    const Kind before = m.kindOf(value);
    FUZZ_CHECK(before != Kind::Query && before != Kind::Orphan);
    if (kind == Kind::Query)
        FUZZ_CHECK(before != Kind::Traversal || !registry().isTraversal(value));
    m.handles[value] = Handle { kind, doc };
    if (m.pool.size() < 64)
        m.pool.push_back(value);
}

void released(Model &m, const void *value)
{
    m.handles[value].kind = Kind::Released;
}

// Checks done after every call.
void checkState(const Model &m)
{
    FUZZ_CHECK(manager().workingDocument() == m.working);
    FUZZ_CHECK(manager().documentCount() == int(m.docs.size()));
    for (const auto &entry : m.docs)
        FUZZ_CHECK(manager().documentExist(entry.first));
    FUZZ_CHECK(registry().queryCount() == m.queryHandles());
    fuzz::checkNoLiveCopies();
}

std::string takeCopy(char *copy)
{
    FUZZ_CHECK(copy != nullptr);
    FUZZ_CHECK(recorder::isLiveCopy(copy));
    return recorder::take(copy);
}

// ---- Files for loading and saving ----------------------------------------------

std::string nested(int depth)
{
    std::string xml;
    for (int i = 0; i < depth; ++i)
        xml += "<a>";
    for (int i = 0; i < depth; ++i)
        xml += "</a>";
    return xml;
}

std::string attributes(int count)
{
    std::string xml = "<a";
    for (int i = 0; i < count; ++i)
        xml += " a" + std::to_string(i) + "='v'";
    return xml + "/>";
}

const char kSample[] = "<?xml version='1.0'?>\n"
                       "<!DOCTYPE r [<!ENTITY e 'ent'>]>\n"
                       "<!-- before -->\n"
                       "<r xmlns:n='urn:x' n:a='1' b=\"2\">t1<![CDATA[cd]]><?pi x?><!--c-->"
                       "<n:k x='y'>&e;</n:k><k/>t2<kid a='1'><kid/></kid></r>\n";

std::string savedPath(int index)
{
    return fuzz::tempPath("saved" + std::to_string(index) + ".xml");
}

// ---- The calls -------------------------------------------------------------------

struct Runner
{
    Program &p;
    Model &m;

    void addDocument()
    {
        const Text name = text(p);
        int id = 77;
        int *out = p.pick(4) == 0 ? small<int>(p.byte()) : &id;
        const int status = gen__qtxmlif_add_document(out, name.get());
        FUZZ_CHECK(status == GEN_QTXMLIF_OK);
        fuzz::checkRecords(Records::None);
        const int expected = ++g_lastId;
        if (out == &id)
            FUZZ_CHECK(id == expected);
        Document d;
        d.rootName = name.nonEmpty() ? name.text : std::string("root");
        m.docs[expected] = d;
        m.working = expected;
    }

    void setWorking()
    {
        const int id = documentArgument(p, m);
        gen__qtxmlif_set_working_document(id);
        fuzz::checkRecords(Records::None);
        m.working = m.live(id) ? id : -1;
    }

    void deleteDocument()
    {
        const int id = documentArgument(p, m);
        const int status = gen__qtxmlif_del_document(id);
        if (m.live(id)) {
            FUZZ_CHECK(status == GEN_QTXMLIF_OK);
            fuzz::checkRecords(Records::None);
            forgetWalk(m, id);
            for (auto &entry : m.handles) {
                if (entry.second.kind == Kind::Query && entry.second.doc == id)
                    entry.second.kind = Kind::Orphan;
            }
            m.docs.erase(id);
            m.working = -1;
            // No working document after a delete: the builder finds none.
            FUZZ_CHECK(manager().findWorkingDocument() == nullptr);
            FUZZ_CHECK(gen__qtxmlif_add_node("a") == GEN_QTXMLIF_ENODOC);
            fuzz::checkRecords(Records::One);
        } else if (id == -1) {
            FUZZ_CHECK(status == GEN_QTXMLIF_OK);
            fuzz::checkRecords(Records::None);
        } else {
            FUZZ_CHECK(status == GEN_QTXMLIF_ENODOC);
            fuzz::checkRecords(Records::One);
        }
    }

    void documentExist()
    {
        const int id = documentArgument(p, m);
        const bool exists = gen__qtxmlif_document_exist(id);
        FUZZ_CHECK(exists == m.live(id));
        fuzz::checkRecords(id < 0 ? Records::One : Records::None);
    }

    // The builder frame: argument check, working document, operation.
    int expectBuild(bool argumentOk)
    {
        if (!argumentOk)
            return GEN_QTXMLIF_EINVAL;
        if (!m.live(m.working))
            return GEN_QTXMLIF_ENODOC;
        if (m.docs[m.working].traversed)
            return GEN_QTXMLIF_EINVAL;
        return GEN_QTXMLIF_OK;
    }

    void build()
    {
        const unsigned which = p.pick(7);
        const Text first = text(p);
        int status = 0;
        int expected = 0;
        Document *d = m.live(m.working) ? &m.docs[m.working] : nullptr;
        switch (which) {
        case 0:
            expected = expectBuild(first.nonEmpty());
            status = gen__qtxmlif_add_node(first.get());
            if (expected == GEN_QTXMLIF_OK)
                d->lastIsCurrent = false;
            break;
        case 1: {
            expected = expectBuild(first.nonEmpty());
            const bool blank
                = !first.nonEmpty() || QString::fromUtf8(first.get()).trimmed().isEmpty();
            if (expected == GEN_QTXMLIF_OK && blank)
                expected = GEN_QTXMLIF_EINVAL;
            status = gen__qtxmlif_open_node(first.get());
            if (expected == GEN_QTXMLIF_OK) {
                ++d->levels;
                d->lastIsCurrent = true;
            }
            break;
        }
        case 2:
        case 3:
            expected = expectBuild(true);
            if (expected == GEN_QTXMLIF_OK && d->levels == 0)
                expected = GEN_QTXMLIF_EINVAL;
            status = which == 2 ? gen__qtxmlif_close_level() : gen__qtxmlif_close_node();
            if (expected == GEN_QTXMLIF_OK) {
                --d->levels;
                d->lastIsCurrent = false;
            }
            break;
        case 4: {
            const Text value = text(p);
            expected = expectBuild(first.nonEmpty());
            status = gen__qtxmlif_add_attr(first.get(), value.get());
            break;
        }
        case 5:
            expected = expectBuild(first.nonEmpty());
            status = gen__qtxmlif_add_text(first.get());
            break;
        default:
            expected = expectBuild(true);
            status = gen__qtxmlif_open_level();
            if (expected == GEN_QTXMLIF_OK && !d->lastIsCurrent) {
                ++d->levels;
                d->lastIsCurrent = true;
            }
            break;
        }
        FUZZ_CHECK(status == expected);
        fuzz::checkRecordsFor(status);
    }

    void begin()
    {
        const int id = documentArgument(p, m);
        Text start = text(p);
        if (start.kind == Text::String && p.pick(2) == 0 && m.live(id))
            start.text = m.docs[id].rootName;
        void *handle = reinterpret_cast<void *>(0x1234);
        void **out = p.pick(4) == 0 ? small<void *>(p.byte()) : &handle;
        const int status = gen__qtxmlif_begin_traversion(id, start.get(), out);
        if (out == &handle && status != GEN_QTXMLIF_OK)
            FUZZ_CHECK(handle == nullptr);
        if (!m.live(id)) {
            FUZZ_CHECK(status == GEN_QTXMLIF_ENOTFOUND);
            fuzz::checkRecords(Records::One);
            return;
        }
        m.working = id;
        Document &d = m.docs[id];
        d.traversed = true;
        d.levels = 0;
        forgetWalk(m, id, status == GEN_QTXMLIF_OK);
        FUZZ_CHECK(status == GEN_QTXMLIF_OK || status == GEN_QTXMLIF_EINVAL);
        // A failed search writes no record.
        fuzz::checkRecords(Records::None);
        if (status == GEN_QTXMLIF_EINVAL) {
            FUZZ_CHECK(start.nonEmpty());
            return;
        }
        d.walking = true;
        if (out != &handle)
            return;
        FUZZ_CHECK(handle != nullptr);
        FUZZ_CHECK(registry().isTraversal(handle));
        remember(m, handle, Kind::Traversal, id);
        const NodeCursor *cursor = static_cast<const NodeCursor *>(handle);
        d.sequenceKnown = true;
        d.open.clear();
        if (cursor->opened()) {
            // Advanced to a named element: its start and those of the
            // elements around it are behind the walk.
            d.open.assign(std::size_t(cursor->depth()) + 1, "?");
            d.open.back() = QString::fromUtf8(start.text.c_str()).toLocal8Bit().toStdString();
            d.attributesAllowed = true;
        } else {
            FUZZ_CHECK(cursor->depth() == 0);
        }
    }

    void nextEntity()
    {
        const int id = documentArgument(p, m);
        const unsigned mask = p.pick(64); // which out-parameters are not given
        int type = 77;
        char *name = reinterpret_cast<char *>(g_fake);
        char *value = reinterpret_cast<char *>(g_fake);
        int depth = 77;
        bool end = true;
        int *typeOut = (mask & 1) ? small<int>(mask) : &type;
        char **nameOut = (mask & 2) ? small<char *>(mask) : &name;
        char **valueOut = (mask & 4) ? small<char *>(mask) : &value;
        int *depthOut = (mask & 8) ? small<int>(mask) : &depth;
        bool *endOut = (mask & 16) ? small<bool>(mask) : &end;
        const std::size_t copiesBefore = recorder::copiesMade();
        const int status
            = gen__qtxmlif_get_next_entity(id, typeOut, nameOut, valueOut, depthOut, endOut);
        if (!m.live(id)) {
            FUZZ_CHECK(status == GEN_QTXMLIF_ENOTFOUND);
            fuzz::checkRecords(Records::One);
            FUZZ_CHECK(recorder::copiesMade() == copiesBefore);
            FUZZ_CHECK(type == (typeOut == &type ? -1 : 77));
            FUZZ_CHECK(name == (nameOut == &name ? nullptr : g_fake));
            FUZZ_CHECK(value == (valueOut == &value ? nullptr : g_fake));
            FUZZ_CHECK(depth == (depthOut == &depth ? -1 : 77));
            FUZZ_CHECK(end == (endOut != &end));
            return;
        }
        m.working = id;
        FUZZ_CHECK(status == GEN_QTXMLIF_OK || status == GEN_QTXMLIF_END);
        fuzz::checkRecords(Records::None);
        const std::size_t expectedCopies = (nameOut == &name) + (valueOut == &value);
        FUZZ_CHECK(recorder::copiesMade() == copiesBefore + expectedCopies);
        const std::string n = nameOut == &name ? takeCopy(name) : std::string();
        const std::string v = valueOut == &value ? takeCopy(value) : std::string();

        Document &d = m.docs[id];
        if (!d.walking) {
            FUZZ_CHECK(status == GEN_QTXMLIF_END);
            if (typeOut == &type)
                FUZZ_CHECK(type == XML_ETYPE_NONE);
            if (depthOut == &depth)
                FUZZ_CHECK(depth == -1);
            if (endOut == &end)
                FUZZ_CHECK(!end);
            FUZZ_CHECK(n.empty() && v.empty());
            return;
        }
        const bool whole = (mask & 31) == 0;
        if (typeOut == &type)
            FUZZ_CHECK(type >= XML_ETYPE_NODE && type <= XML_ETYPE_TEXT);
        if (depthOut == &depth)
            FUZZ_CHECK(depth >= 0 && depth < GEN_QTXMLIF_MAX_DEPTH);
        if (d.sequenceKnown && whole)
            followSequence(d, type, n, v, depth, end);
        else
            d.sequenceKnown = false;
        if (status == GEN_QTXMLIF_END) {
            if (typeOut == &type)
                FUZZ_CHECK(type == XML_ETYPE_NODE);
            if (endOut == &end)
                FUZZ_CHECK(end);
            if (depthOut == &depth)
                FUZZ_CHECK(depth == 0);
            forgetWalk(m, id);
        }
    }

    static void followSequence(Document &d, int type, const std::string &name,
        const std::string &value, int depth, bool end)
    {
        auto &open = d.open;
        if (type == XML_ETYPE_NODE && !end) {
            FUZZ_CHECK(depth == int(open.size()));
            FUZZ_CHECK(value.empty());
            open.push_back(name);
            d.attributesAllowed = true;
            return;
        }
        FUZZ_CHECK(!open.empty());
        FUZZ_CHECK(depth == int(open.size()) - 1);
        if (type == XML_ETYPE_NODE) {
            FUZZ_CHECK(open.back() == "?" || open.back() == name);
            FUZZ_CHECK(value.empty());
            open.pop_back();
            d.attributesAllowed = false;
        } else if (type == XML_ETYPE_ATTR) {
            FUZZ_CHECK(!end);
            FUZZ_CHECK(d.attributesAllowed);
        } else {
            FUZZ_CHECK(!end);
            FUZZ_CHECK(value.empty());
            d.attributesAllowed = false;
        }
    }

    void endWalk()
    {
        const int id = documentArgument(p, m);
        const int status = gen__qtxmlif_end_traversion(id);
        if (!m.live(id)) {
            FUZZ_CHECK(status == GEN_QTXMLIF_ENOTFOUND);
            fuzz::checkRecords(Records::One);
            return;
        }
        FUZZ_CHECK(status == GEN_QTXMLIF_OK);
        fuzz::checkRecords(Records::None);
        m.working = id;
        forgetWalk(m, id);
    }

    void hasNext()
    {
        const int id = documentArgument(p, m);
        const bool attribute = p.pick(2) == 0;
        bool answer = true;
        bool *out = p.pick(4) == 0 ? small<bool>(p.byte()) : &answer;
        const int status = attribute ? gen__qtxmlif_has_next_attr(id, out)
                                     : gen__qtxmlif_has_next_child(id, out);
        if (out == &answer && status != GEN_QTXMLIF_OK)
            FUZZ_CHECK(!answer);
        if (!m.live(id)) {
            FUZZ_CHECK(status == GEN_QTXMLIF_ENOTFOUND);
            fuzz::checkRecords(Records::One);
            return;
        }
        m.working = id;
        FUZZ_CHECK(status == (m.docs[id].walking ? GEN_QTXMLIF_OK : GEN_QTXMLIF_EINVAL));
        fuzz::checkRecordsFor(status);
    }

    // The child variable of a child query: a slot of the caller's, or not
    // given. Returns the slot index, or -1.
    int childArgument(void ***out)
    {
        const unsigned choice = p.pick(8);
        if (choice == 7) {
            *out = small<void *>(p.byte());
            return -1;
        }
        const int slot = int(choice % 6);
        *out = &m.vars[slot];
        return slot;
    }

    // Applies what a child query does to the variable it is given before it
    // looks anything up. Returns false when the call must refuse it.
    bool expectClear(int slot, const void *parent, bool *releasedHeld, const void **held)
    {
        *releasedHeld = false;
        *held = slot < 0 ? nullptr : m.vars[slot];
        if (slot < 0 || !given(*held))
            return true;
        if (*held == parent || registry().isTraversal(*held))
            return false;
        const Kind kind = m.kindOf(*held);
        *releasedHeld = kind == Kind::Query || kind == Kind::Orphan;
        if (!*releasedHeld)
            FUZZ_CHECK(!registry().isQuery(*held));
        return true;
    }

    void afterClear(int slot, bool refused, bool releasedHeld, const void *held)
    {
        if (slot < 0)
            return;
        if (refused) {
            FUZZ_CHECK(m.vars[slot] == held);
            return;
        }
        if (releasedHeld) {
            FUZZ_CHECK(!registry().isQuery(held));
            released(m, held);
        }
    }

    void nextChild()
    {
        const int id = documentArgument(p, m);
        void *parent = handleArgument(p, m);
        void **childOut = nullptr;
        const int slot = childArgument(&childOut);
        char *name = g_fake;
        char **nameOut = p.pick(4) == 0 ? small<char *>(p.byte()) : &name;
        int owner = -1;
        const bool parentLive = expectLive(m, parent, &owner);
        const bool reused = reusedByWalk(m, parent);
        if (parentLive && registry().isTraversal(parent))
            m.docs[owner].sequenceKnown = false; // the query takes children from the walk
        if (reused) {
            for (auto &entry : m.docs)
                entry.second.sequenceKnown = false;
        }
        bool releasedHeld = false;
        const void *held = nullptr;
        const bool accepted = expectClear(slot, parent, &releasedHeld, &held);
        const std::size_t copiesBefore = recorder::copiesMade();
        const std::size_t queriesBefore = registry().queryCount();

        const int status = gen__qtxmlif_get_next_child_node(id, parent, nameOut, childOut);

        if (nameOut == &name && status != GEN_QTXMLIF_OK)
            FUZZ_CHECK(name == nullptr);
        afterClear(slot, !accepted, releasedHeld, held);
        if (!accepted) {
            FUZZ_CHECK(status == GEN_QTXMLIF_EINVAL);
            fuzz::checkRecords(Records::One);
            return;
        }
        if (slot >= 0 && status != GEN_QTXMLIF_OK)
            FUZZ_CHECK(m.vars[slot] == nullptr);
        if (!m.live(id)) {
            FUZZ_CHECK(status == GEN_QTXMLIF_ENOTFOUND);
            fuzz::checkRecords(Records::One);
            FUZZ_CHECK(recorder::copiesMade() == copiesBefore);
            return;
        }
        m.working = id;
        FUZZ_CHECK(status == GEN_QTXMLIF_OK);
        fuzz::checkRecords(Records::None);
        void *child = slot >= 0 ? m.vars[slot] : nullptr;
        if (!parentLive && !reused) {
            // Absent, unknown, released and orphaned parents find nothing.
            FUZZ_CHECK(child == nullptr);
            FUZZ_CHECK(recorder::copiesMade() == copiesBefore);
            if (nameOut == &name)
                FUZZ_CHECK(name == nullptr);
            FUZZ_CHECK(registry().queryCount() == queriesBefore - (releasedHeld ? 1 : 0));
            return;
        }
        if (nameOut == &name && slot < 0) {
            // Found or not, the handle is not kept: a name is handed out
            // when a child was found.
            FUZZ_CHECK(recorder::copiesMade() == copiesBefore + (name ? 1 : 0));
            if (name)
                takeCopy(name);
        } else if (nameOut == &name && child) {
            FUZZ_CHECK(recorder::copiesMade() == copiesBefore + 1);
            takeCopy(name);
        } else {
            FUZZ_CHECK(recorder::copiesMade() == copiesBefore);
            if (nameOut == &name)
                FUZZ_CHECK(name == nullptr);
        }
        if (child) {
            FUZZ_CHECK(child != parent);
            FUZZ_CHECK(registry().live(child) == child);
            // A handle stands in the document of its parent, whatever ID the
            // call was given.
            // (-2: the document of a walk the model does not follow.)
            remember(m, child, Kind::Query, reused ? -2 : owner);
        }
    }

    void namedChild()
    {
        const int id = documentArgument(p, m);
        void *parent = handleArgument(p, m);
        const Text name = text(p);
        void **childOut = nullptr;
        const int slot = childArgument(&childOut);
        int depth = 77;
        int *depthOut = p.pick(4) == 0 ? small<int>(p.byte()) : &depth;
        int owner = -1;
        const bool parentLive = expectLive(m, parent, &owner);
        const bool reused = reusedByWalk(m, parent);
        bool releasedHeld = false;
        const void *held = nullptr;
        const bool accepted = expectClear(slot, parent, &releasedHeld, &held);

        const int status
            = gen__qtxmlif_get_named_child_node(id, parent, name.get(), childOut, depthOut);

        afterClear(slot, !accepted, releasedHeld, held);
        if (depthOut == &depth && status != GEN_QTXMLIF_OK)
            FUZZ_CHECK(depth == -1);
        if (!accepted) {
            FUZZ_CHECK(status == GEN_QTXMLIF_EINVAL);
            fuzz::checkRecords(Records::One);
            return;
        }
        void *child = slot >= 0 ? m.vars[slot] : nullptr;
        if (!name.nonEmpty()) {
            // Answered before the document is looked up.
            FUZZ_CHECK(status == GEN_QTXMLIF_OK);
            fuzz::checkRecords(Records::None);
            FUZZ_CHECK(child == nullptr);
            if (depthOut == &depth)
                FUZZ_CHECK(depth == -1);
            return;
        }
        if (!m.live(id)) {
            FUZZ_CHECK(status == GEN_QTXMLIF_ENOTFOUND);
            fuzz::checkRecords(Records::One);
            if (slot >= 0)
                FUZZ_CHECK(child == nullptr);
            return;
        }
        m.working = id;
        FUZZ_CHECK(status == GEN_QTXMLIF_OK);
        fuzz::checkRecords(Records::None);
        if (!parentLive && !reused)
            FUZZ_CHECK(child == nullptr);
        if (depthOut == &depth)
            FUZZ_CHECK(child ? depth >= 1 : (depth == -1 || slot < 0));
        if (child) {
            FUZZ_CHECK(child != parent);
            FUZZ_CHECK(registry().live(child) == child);
            remember(m, child, Kind::Query, reused ? -2 : owner);
        }
    }

    void namedAttribute()
    {
        const int id = documentArgument(p, m);
        void *node = handleArgument(p, m);
        const Text name = text(p);
        char *value = g_fake;
        bool found = true;
        char **valueOut = p.pick(4) == 0 ? small<char *>(p.byte()) : &value;
        bool *foundOut = p.pick(4) == 0 ? small<bool>(p.byte()) : &found;
        int owner = -1;
        const bool nodeLive = expectLive(m, node, &owner) || reusedByWalk(m, node);
        const std::size_t copiesBefore = recorder::copiesMade();

        const int status
            = gen__qtxmlif_get_named_attribute(id, node, name.get(), valueOut, foundOut);

        if (!nodeLive) {
            // Unknown, released and orphaned handles are refused like
            // absent ones, the outputs untouched.
            FUZZ_CHECK(status == GEN_QTXMLIF_EINVAL);
            fuzz::checkRecords(Records::One);
            FUZZ_CHECK(value == g_fake && found);
            FUZZ_CHECK(recorder::copiesMade() == copiesBefore);
            return;
        }
        if (!m.live(id)) {
            FUZZ_CHECK(status == GEN_QTXMLIF_ENOTFOUND);
            fuzz::checkRecords(Records::One);
            if (valueOut == &value)
                FUZZ_CHECK(value == nullptr);
            if (foundOut == &found)
                FUZZ_CHECK(!found);
            FUZZ_CHECK(recorder::copiesMade() == copiesBefore);
            return;
        }
        m.working = id;
        FUZZ_CHECK(status == GEN_QTXMLIF_OK);
        fuzz::checkRecords(Records::None);
        if (valueOut == &value) {
            FUZZ_CHECK(recorder::copiesMade() == copiesBefore + 1);
            const std::string text = takeCopy(value);
            if (foundOut == &found && !found)
                FUZZ_CHECK(text.empty());
        } else {
            FUZZ_CHECK(recorder::copiesMade() == copiesBefore);
        }
    }

    void deleteNode()
    {
        const unsigned choice = p.pick(9);
        void *local = nullptr;
        void **out = nullptr;
        int slot = -1;
        if (choice < 6) {
            slot = int(choice);
            out = &m.vars[slot];
        } else if (choice == 6) {
            local = handleArgument(p, m);
            out = &local;
        } else {
            out = small<void *>(p.byte());
        }
        const void *value = given(out) ? *out : nullptr;
        const Kind kind = m.kindOf(value);
        const bool owned = given(value) && (kind == Kind::Query || kind == Kind::Orphan);
        if (given(value) && !owned)
            FUZZ_CHECK(!registry().isQuery(value));
        gen__qtxmlif_delete_node(out);
        fuzz::checkRecords(Records::None);
        if (!given(out))
            return;
        if (owned) {
            FUZZ_CHECK(*out == nullptr);
            FUZZ_CHECK(!registry().isQuery(value));
            released(m, value);
        } else {
            // A walk's handle and values that are no query handle stay.
            FUZZ_CHECK(*out == value);
        }
    }

    void toString()
    {
        const int id = documentArgument(p, m);
        QString text = QStringLiteral("untouched");
        QString *out = p.pick(4) == 0 ? small<QString>(p.byte()) : &text;
        const int status = gen__qtxmlif_doc_to_string(id, out);
        if (out != &text) {
            FUZZ_CHECK(status == GEN_QTXMLIF_EINVAL);
        } else if (!m.live(id)) {
            FUZZ_CHECK(status == GEN_QTXMLIF_ENOTFOUND);
            FUZZ_CHECK(text == QStringLiteral("untouched"));
        } else {
            FUZZ_CHECK(status == GEN_QTXMLIF_OK);
            FUZZ_CHECK(text.startsWith(u'<'));
        }
        fuzz::checkRecordsFor(status);
    }

    void save()
    {
        const int id = documentArgument(p, m);
        const unsigned choice = p.pick(12);
        std::string path;
        const char *pathArg = nullptr;
        int expected = GEN_QTXMLIF_ESAVE;
        int savedIndex = -1;
        switch (choice) {
        case 0:
        case 1:
        case 2:
        case 3:
            savedIndex = int(choice);
            path = savedPath(savedIndex);
            expected = GEN_QTXMLIF_OK;
            break;
        case 4:
            path = fuzz::tempDir();
            break;
        case 5:
            path = fuzz::tempPath("no-such-folder/x.xml");
            break;
        case 6:
            path = "";
            break;
        case 7:
            pathArg = nullptr;
            break;
        case 8:
            pathArg = small<const char>(p.byte());
            break;
        case 9:
            path = "/dev/full";
            break;
        case 10:
            path = "/dev/null";
            expected = GEN_QTXMLIF_OK;
            break;
        default:
            path = fuzz::tempPath("saved0.xml/below");
            break;
        }
        if (choice != 7 && choice != 8)
            pathArg = path.c_str();
        const int status = gen__qtxmlif_save(id, pathArg);
        if (!m.live(id))
            expected = GEN_QTXMLIF_ENOTFOUND;
        FUZZ_CHECK(status == expected);
        fuzz::checkRecordsFor(status);
        if (status == GEN_QTXMLIF_OK && savedIndex >= 0)
            m.savedExists[savedIndex] = true;
    }

    void load()
    {
        const unsigned choice = p.pick(16);
        std::string path = fuzz::tempPath("load.xml");
        const char *pathArg = nullptr;
        // Statuses the file can give; 0 first when it must load.
        std::vector<int> allowed;
        switch (choice) {
        case 0:
        case 1:
        case 2:
        case 3:
            path = savedPath(int(choice));
            allowed = { m.savedExists[choice] ? GEN_QTXMLIF_OK : GEN_QTXMLIF_ENODOC,
                GEN_QTXMLIF_ESYNTAX };
            break;
        case 4: {
            static const int depths[] = { 1, 2, 1023, 1024, 1025, 1100 };
            const int depth = depths[p.pick(6)];
            fuzz::writeFile(path, nested(depth));
            allowed = { depth <= GEN_QTXMLIF_MAX_DEPTH ? GEN_QTXMLIF_OK : GEN_QTXMLIF_ESYNTAX };
            break;
        }
        case 5: {
            static const int counts[] = { 0, 1, 1023, 1024, 1025 };
            const int count = counts[p.pick(5)];
            fuzz::writeFile(path, attributes(count));
            allowed
                = { count <= GEN_QTXMLIF_MAX_ATTRIBUTES ? GEN_QTXMLIF_OK : GEN_QTXMLIF_ESYNTAX };
            break;
        }
        case 6:
            fuzz::writeFile(path, kSample);
            allowed = { GEN_QTXMLIF_OK };
            break;
        case 7: {
            // UTF-16 with a byte-order mark.
            const QString sample = QString::fromUtf8(kSample);
            std::string bytes = "\xff\xfe";
            bytes.append(
                reinterpret_cast<const char *>(sample.utf16()), std::size_t(sample.size()) * 2);
            fuzz::writeFile(path, bytes);
            allowed = { GEN_QTXMLIF_OK, GEN_QTXMLIF_ESYNTAX };
            break;
        }
        case 8:
        case 9:
        case 10:
            fuzz::writeFile(path, p.bytes(64));
            allowed = { GEN_QTXMLIF_OK, GEN_QTXMLIF_ESYNTAX };
            break;
        case 11:
            path = fuzz::tempPath("no-such-file.xml");
            allowed = { GEN_QTXMLIF_ENODOC };
            break;
        case 12:
            path = fuzz::tempDir();
            allowed = { GEN_QTXMLIF_EOPEN, GEN_QTXMLIF_ESYNTAX };
            break;
        case 13:
            path = "";
            allowed = { GEN_QTXMLIF_ENODOC };
            break;
        case 14:
            pathArg = nullptr;
            allowed = { GEN_QTXMLIF_ENODOC };
            break;
        default:
            pathArg = small<const char>(p.byte());
            allowed = { GEN_QTXMLIF_ENODOC };
            break;
        }
        if (choice != 14 && choice != 15)
            pathArg = path.c_str();
        int id = 77;
        int *out = p.pick(4) == 0 ? small<int>(p.byte()) : &id;
        const int status = gen__qtxmlif_load(pathArg, out);
        FUZZ_CHECK(std::find(allowed.begin(), allowed.end(), status) != allowed.end());
        fuzz::checkRecordsFor(status);
        const bool pathGiven = given(pathArg) && pathArg[0] != '\0';
        if (out == &id) {
            if (!pathGiven)
                FUZZ_CHECK(id == 77);
            else if (status != GEN_QTXMLIF_OK)
                FUZZ_CHECK(id == -1);
        }
        switch (status) {
        case GEN_QTXMLIF_OK: {
            const int expected = ++g_lastId;
            if (out == &id)
                FUZZ_CHECK(id == expected);
            m.docs[expected] = Document();
            m.working = expected;
            break;
        }
        case GEN_QTXMLIF_ESYNTAX:
            ++g_lastId; // used up
            m.working = -1;
            break;
        default:
            break;
        }
    }

    void step()
    {
        static const bool trace = std::getenv("ZGQX_FUZZ_TRACE") != nullptr;
        const unsigned op = p.pick(20);
        if (trace)
            std::fprintf(stderr, "op %u (working %d, last ID %d)\n", op, m.working, g_lastId);
        switch (op) {
        case 0:
        case 1:
            addDocument();
            break;
        case 2:
            setWorking();
            break;
        case 3:
            deleteDocument();
            break;
        case 4:
            documentExist();
            break;
        case 5:
        case 6:
        case 7:
            build();
            break;
        case 8:
            begin();
            break;
        case 9:
        case 10:
            nextEntity();
            break;
        case 11:
            endWalk();
            break;
        case 12:
            hasNext();
            break;
        case 13:
        case 14:
            nextChild();
            break;
        case 15:
            namedChild();
            break;
        case 16:
            namedAttribute();
            break;
        case 17:
            deleteNode();
            break;
        case 18:
            p.pick(2) ? toString() : save();
            break;
        default:
            load();
            break;
        }
        checkState(m);
    }

    // Releases what the program left behind, so that every input starts from
    // nothing.
    void cleanUp()
    {
        for (auto &entry : m.handles) {
            if (entry.second.kind == Kind::Query || entry.second.kind == Kind::Orphan) {
                void *value = const_cast<void *>(entry.first);
                gen__qtxmlif_delete_node(&value);
                FUZZ_CHECK(value == nullptr);
                entry.second.kind = Kind::Released;
            }
        }
        for (const auto &entry : m.docs) {
            FUZZ_CHECK(gen__qtxmlif_del_document(entry.first) == GEN_QTXMLIF_OK);
            FUZZ_CHECK(manager().workingDocument() == -1);
        }
        m.docs.clear();
        m.working = -1;
        fuzz::checkRecords(Records::None);
        FUZZ_CHECK(manager().documentCount() == 0);
        FUZZ_CHECK(registry().queryCount() == 0);
        FUZZ_CHECK(registry().traversalCount() == 0);
        fuzz::checkNoLiveCopies();
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (int i = 0; i < 4; ++i)
        std::remove(savedPath(i).c_str());
    Program program(data, size);
    Model model;
    gen__qtxmlif_set_working_document(-1);
    recorder::clear();
    Runner runner { program, model };
    for (int calls = 0; program.more() && calls < 400; ++calls)
        runner.step();
    runner.cleanUp();
    return 0;
}
