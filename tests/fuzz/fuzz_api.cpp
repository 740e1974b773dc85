// SPDX-License-Identifier: MIT
// API-sequence fuzzer: reads its input as calls of the C interface with
// arguments from small pools (documents live, deleted and unknown; names;
// handles handed out, released, stale, made up or not given) and checks after
// every call what the header promises: status codes, outputs, one record per
// failure, every copy released, IDs never reused, and the document the
// builder acts on. Handles are opaque values.
#include "Fuzz.h"

#include <cstdint>
#include <iterator>
#include <set>
#include <vector>

#include <unistd.h>

namespace {

const char *const kNames[] = { "r", "a", "b", "ns:a", " a b ", "", "\xc3\xa9", "r a", nullptr,
    reinterpret_cast<const char *>(1000) };
const std::string kPath = "/tmp/zgqx_fuzz_api_" + std::to_string(getpid()) + ".xml";
constexpr int kUnknown = -2; // the working document, when the model cannot tell

struct Model
{
    Model(const uint8_t *data, size_t size)
        : next(data)
        , end(data + size)
    {
    }
    const uint8_t *next, *end;
    std::set<int> live, walked;
    int working = -1, lastId = 0;
    std::vector<void *> handles { nullptr, reinterpret_cast<void *>(7), &handles };

    unsigned byte() { return next < end ? *next++ : 0; }
    const char *name() { return kNames[byte() % std::size(kNames)]; }
    void *&handle() { return handles[byte() % handles.size()]; }
    int doc() // mostly a live one, else -1 to 3 or one past the last
    {
        const unsigned pick = byte();
        if (pick % 4 == 0 || live.empty())
            return pick % 8 == 0 ? lastId + 1 : int(pick / 8 % 5) - 1;
        return *std::next(live.begin(), pick / 4 % live.size());
    }
    void keep(void *value)
    {
        FUZZ_CHECK(value == nullptr || reinterpret_cast<std::uintptr_t>(value) > 1000);
        if (value && handles.size() < 64)
            handles.push_back(value);
    }
    int made(int status, int id) // created or loaded: the working document
    {
        FUZZ_CHECK(id > lastId);
        live.insert(lastId = working = id);
        return status;
    }
    int reading(int doc, int status) // a call on a live document makes it working
    {
        FUZZ_CHECK(
            live.count(doc) ? status != GEN_QTXMLIF_ENOTFOUND : status == GEN_QTXMLIF_ENOTFOUND);
        working = live.count(doc) ? doc : working;
        return status;
    }
    int building(bool given, int status) // refused on a walked document
    {
        if (!given || (working >= 0 && walked.count(working)))
            FUZZ_CHECK(status == GEN_QTXMLIF_EINVAL);
        else if (working != kUnknown)
            FUZZ_CHECK((status == GEN_QTXMLIF_ENODOC) == (working == -1));
        return status;
    }
};

bool given(const char *text)
{
    return reinterpret_cast<std::uintptr_t>(text) > 1000 && text[0] != '\0';
}

int step(Model &m)
{
    int id = 9, type = 9, depth = 9;
    char *name = nullptr, *value = nullptr;
    bool flag = true;
    const char *const text = m.name();
    const int doc = m.doc();
    switch (m.byte() % 18) {
    case 0: {
        const int status = gen__qtxmlif_add_document(&id, text);
        return m.made(status, id);
    }
    case 1:
        gen__qtxmlif_set_working_document(doc);
        m.working = m.live.count(doc) ? doc : -1;
        return GEN_QTXMLIF_OK;
    case 2: {
        const int status = gen__qtxmlif_del_document(doc);
        FUZZ_CHECK(
            status == (m.live.count(doc) || doc == -1 ? GEN_QTXMLIF_OK : GEN_QTXMLIF_ENODOC));
        m.working = m.live.erase(doc) ? -1 : m.working;
        return status;
    }
    case 3:
        FUZZ_CHECK(gen__qtxmlif_document_exist(doc) == (m.live.count(doc) == 1));
        return doc < 0 ? GEN_QTXMLIF_EINVAL : GEN_QTXMLIF_OK; // -1: an assertion record
    case 4:
        return m.building(given(text), gen__qtxmlif_add_node(text));
    case 5:
        return m.building(given(text), gen__qtxmlif_open_node(text));
    case 6:
        return m.building(given(text), gen__qtxmlif_add_attr(text, m.name()));
    case 7:
        return m.building(given(text), gen__qtxmlif_add_text(text));
    case 8:
        return m.building(true, gen__qtxmlif_open_level());
    case 9:
        return m.building(true, gen__qtxmlif_close_level());
    case 10: {
        void *handle = &id;
        const int status = m.reading(doc, gen__qtxmlif_begin_traversion(doc, text, &handle));
        FUZZ_CHECK((status == GEN_QTXMLIF_OK) == (handle != nullptr));
        if (m.live.count(doc))
            m.walked.insert(doc);
        m.keep(handle);
        return status == GEN_QTXMLIF_EINVAL ? GEN_QTXMLIF_OK : status; // a miss writes no record
    }
    case 11: {
        const int status = m.reading(
            doc, gen__qtxmlif_get_next_entity(doc, &type, &name, &value, &depth, &flag));
        if (status == GEN_QTXMLIF_ENOTFOUND) {
            FUZZ_CHECK(!name && !value && type == -1 && depth == -1 && !flag);
        } else {
            FUZZ_CHECK(type >= -1 && type <= 3 && type != 0);
            fuzz::take(name), fuzz::take(value);
        }
        return status;
    }
    case 12:
        return m.reading(doc, gen__qtxmlif_end_traversion(doc));
    case 13: {
        void *const parent = m.handle();
        void *&child = m.handle();
        void *const before = child;
        const bool named = m.byte() % 2;
        const int status = named
            ? gen__qtxmlif_get_named_child_node(doc, parent, text, &child, &depth)
            : gen__qtxmlif_get_next_child_node(doc, parent, &name, &child);
        // Refused: the child variable as it was, or released when the parent was the cause.
        FUZZ_CHECK(
            status == GEN_QTXMLIF_EINVAL ? child == before || !child : named || !name == !child);
        if (status == GEN_QTXMLIF_EINVAL)
            m.working = kUnknown; // a handle the model cannot tell may be refused before the lookup
        else if (!named || given(text))
            m.reading(doc, status);
        if (name)
            fuzz::take(name);
        m.keep(child);
        return status;
    }
    case 14: {
        const int status = gen__qtxmlif_get_named_attribute(doc, m.handle(), text, &value, &flag);
        FUZZ_CHECK(status != GEN_QTXMLIF_OK || (value && (flag || !*value)));
        if (value)
            fuzz::take(value);
        if (status == GEN_QTXMLIF_EINVAL)
            m.working = kUnknown;
        else
            m.reading(doc, status);
        return status;
    }
    case 15: {
        void *&handle = m.handle();
        void *const before = handle;
        gen__qtxmlif_delete_node(&handle);
        FUZZ_CHECK(handle == nullptr || handle == before);
        return GEN_QTXMLIF_OK;
    }
    case 16: {
        const int status = gen__qtxmlif_save(doc, kPath.c_str());
        FUZZ_CHECK(
            m.live.count(doc) ? status != GEN_QTXMLIF_ENOTFOUND : status == GEN_QTXMLIF_ENOTFOUND);
        return status;
    }
    default: {
        const int status = gen__qtxmlif_load(kPath.c_str(), &id);
        if (status == GEN_QTXMLIF_OK)
            return m.made(status, id);
        FUZZ_CHECK(id == -1);
        m.working = status == GEN_QTXMLIF_ENODOC ? m.working : -1;
        return status;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Model m(data, size);
    FUZZ_CHECK(gen__qtxmlif_add_document(&m.lastId, nullptr) == GEN_QTXMLIF_OK);
    gen__qtxmlif_del_document(m.lastId);
    std::remove(kPath.c_str());
    while (m.next < m.end)
        fuzz::checkRecords(step(m));
    for (void *handle : m.handles)
        gen__qtxmlif_delete_node(&handle);
    for (int id : m.live)
        gen__qtxmlif_del_document(id);
    fuzz::checkRecords(GEN_QTXMLIF_OK);
    return 0;
}
