// API-sequence fuzzer: reads its input as calls of the C interface with
// arguments from small pools (documents live, deleted and unknown; names;
// handles handed out, released, stale, made up or not given) and checks after
// every call what the header promises: the status codes, the outputs, one
// record per failure, every copy released, document IDs never reused, and
// which document the builder acts on. Handles are opaque values.
#include "Fuzz.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

const char *const kNames[] = { "r", "a", "b", "ns:a", " a b ", "", "\xc3\xa9", "r a", nullptr,
    reinterpret_cast<const char *>(1000) };
const std::string kPath = "/tmp/zgqx_fuzz_api_" + std::to_string(getpid()) + ".xml";
constexpr int kNoneKnown = -2; // the working document is not known to the model

struct Model
{
    std::set<int> live, walked;
    int working = -1, lastId = 0;
    std::vector<void *> handles { nullptr, reinterpret_cast<void *>(7), &kNoneKnown };
};

struct Input
{
    const uint8_t *next, *end;
    unsigned byte() { return next < end ? *next++ : 0; }
    const char *name() { return kNames[byte() % std::size(kNames)]; }
    void *&handle(Model &m) { return m.handles[byte() % m.handles.size()]; }
    int doc(const Model &m)
    {
        const unsigned pick = byte();
        if (pick % 4 == 0 || m.live.empty())
            return int(pick / 4 % 5) - 1 + (pick % 8 == 0 ? m.lastId : 0); // -1..3 or past the last
        return *std::next(m.live.begin(), pick / 4 % m.live.size());
    }
};

bool given(const char *text)
{
    return reinterpret_cast<std::uintptr_t>(text) > 1000 && text[0] != '\0';
}

void keep(Model &m, void *handle)
{
    FUZZ_CHECK(handle == nullptr || reinterpret_cast<std::uintptr_t>(handle) > 1000);
    if (handle && m.handles.size() < 64)
        m.handles.push_back(handle);
}

// A document made working by creating or loading it.
void made(Model &m, int id)
{
    FUZZ_CHECK(id > m.lastId);
    m.lastId = m.working = id;
    m.live.insert(id);
}

// Reading calls on a live document make it working.
int reading(Model &m, int doc, int status)
{
    FUZZ_CHECK(
        m.live.count(doc) ? status != GEN_QTXMLIF_ENOTFOUND : status == GEN_QTXMLIF_ENOTFOUND);
    if (m.live.count(doc))
        m.working = doc;
    return status;
}

// A builder call: refused on a walked document, ENODOC without a working one.
int building(Model &m, bool argumentsGiven, int status)
{
    if (!argumentsGiven)
        FUZZ_CHECK(status == GEN_QTXMLIF_EINVAL);
    else if (m.working == -1)
        FUZZ_CHECK(status == GEN_QTXMLIF_ENODOC);
    else if (m.working != kNoneKnown)
        FUZZ_CHECK(m.walked.count(m.working) ? status == GEN_QTXMLIF_EINVAL
                                             : status != GEN_QTXMLIF_ENODOC);
    return status;
}

int step(Input &in, Model &m)
{
    int id = 9, type = 9, depth = 9;
    char *name = nullptr, *value = nullptr;
    bool flag = true;
    const char *const text = in.name();
    switch (in.byte() % 19) {
    case 0: {
        const int status = gen__qtxmlif_add_document(&id, text);
        return made(m, id), status;
    }
    case 1: {
        const int doc = in.doc(m);
        gen__qtxmlif_set_working_document(doc);
        return m.working = m.live.count(doc) ? doc : -1, GEN_QTXMLIF_OK;
    }
    case 2: {
        const int doc = in.doc(m);
        const int status = gen__qtxmlif_del_document(doc);
        FUZZ_CHECK(
            status == (m.live.count(doc) || doc == -1 ? GEN_QTXMLIF_OK : GEN_QTXMLIF_ENODOC));
        if (m.live.erase(doc))
            m.working = -1;
        return status;
    }
    case 3: {
        const int doc = in.doc(m);
        FUZZ_CHECK(gen__qtxmlif_document_exist(doc) == (m.live.count(doc) == 1));
        return doc < 0 ? GEN_QTXMLIF_EINVAL : GEN_QTXMLIF_OK;
    }
    case 4:
        return building(m, given(text), gen__qtxmlif_add_node(text));
    case 5:
        return building(m, given(text), gen__qtxmlif_open_node(text));
    case 6:
        return building(m, given(text), gen__qtxmlif_add_attr(text, in.name()));
    case 7:
        return building(m, given(text), gen__qtxmlif_add_text(text));
    case 8:
        return building(m, true, gen__qtxmlif_open_level());
    case 9:
        return building(m, true, gen__qtxmlif_close_level());
    case 10: {
        const int doc = in.doc(m);
        void *handle = &id;
        const int status = reading(m, doc, gen__qtxmlif_begin_traversion(doc, text, &handle));
        FUZZ_CHECK((status == GEN_QTXMLIF_OK) == (handle != nullptr));
        if (m.live.count(doc))
            m.walked.insert(doc);
        keep(m, handle);
        return status == GEN_QTXMLIF_EINVAL ? GEN_QTXMLIF_OK : status; // a miss writes no record
    }
    case 11: {
        const int doc = in.doc(m);
        const int status = reading(
            m, doc, gen__qtxmlif_get_next_entity(doc, &type, &name, &value, &depth, &flag));
        FUZZ_CHECK(status == GEN_QTXMLIF_ENOTFOUND
                ? !name && !value && type == -1 && depth == -1 && !flag
                : type >= -1 && type <= 3 && type != 0 && name && value);
        if (name)
            fuzz::take(name), fuzz::take(value);
        return status;
    }
    case 12: {
        const int doc = in.doc(m);
        return reading(m, doc, gen__qtxmlif_end_traversion(doc));
    }
    case 13:
    case 14: {
        const int doc = in.doc(m);
        void *const parent = in.handle(m);
        void *&child = in.handle(m);
        void *const before = child;
        const int status = in.byte() % 2
            ? gen__qtxmlif_get_next_child_node(doc, parent, &name, &child)
            : gen__qtxmlif_get_named_child_node(doc, parent, text, &child, &depth);
        FUZZ_CHECK(status == GEN_QTXMLIF_EINVAL ? child == before : !name || child);
        if (status == GEN_QTXMLIF_EINVAL)
            m.working
                = kNoneKnown; // handles of unknown state are refused before or after the lookup
        else if (given(text) || name)
            reading(m, doc, status);
        if (name)
            fuzz::take(name);
        keep(m, child);
        return status;
    }
    case 15: {
        const int doc = in.doc(m);
        const int status = gen__qtxmlif_get_named_attribute(doc, in.handle(m), text, &value, &flag);
        if (status == GEN_QTXMLIF_OK)
            FUZZ_CHECK(value && (flag || fuzz::take(std::exchange(value, nullptr)).empty()));
        if (value)
            fuzz::take(value);
        if (status != GEN_QTXMLIF_EINVAL)
            reading(m, doc, status);
        return status;
    }
    case 16: {
        void *&handle = in.handle(m);
        void *const before = handle;
        gen__qtxmlif_delete_node(&handle);
        FUZZ_CHECK(handle == nullptr || handle == before);
        return GEN_QTXMLIF_OK;
    }
    case 17: {
        const int doc = in.doc(m);
        const int status = gen__qtxmlif_save(doc, kPath.c_str());
        FUZZ_CHECK(
            m.live.count(doc) ? status != GEN_QTXMLIF_ENOTFOUND : status == GEN_QTXMLIF_ENOTFOUND);
        return status;
    }
    default: {
        const int status = gen__qtxmlif_load(kPath.c_str(), &id);
        FUZZ_CHECK(status == GEN_QTXMLIF_OK || id == -1);
        if (status == GEN_QTXMLIF_OK)
            made(m, id);
        else if (status != GEN_QTXMLIF_ENODOC)
            m.working = -1;
        return status;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in { data, data + size };
    Model m;
    m.lastId = gen__qtxmlif_add_document(&m.lastId, nullptr) == GEN_QTXMLIF_OK ? m.lastId : 0;
    gen__qtxmlif_del_document(m.lastId);
    gen__qtxmlif_set_working_document(-1);
    std::remove(kPath.c_str());
    while (in.next < in.end)
        fuzz::checkRecords(step(in, m));
    for (void *handle : m.handles)
        gen__qtxmlif_delete_node(&handle);
    for (int id : m.live)
        gen__qtxmlif_del_document(id);
    fuzz::records = fuzz::signals = fuzz::assertions = 0;
    return 0;
}
