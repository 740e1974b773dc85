// SPDX-License-Identifier: MIT
// This library, through its C interface only, as a C caller uses it.
#include "Runners.h"

#include <gen_lowlevel.h>
#include <gen_qtxmlif.h>

#include <QString>

namespace zgqxbench {

namespace {

// Adds the content of element at the current level: attributes, text, then
// children, each child with content in a level of its own.
bool addContent(const Element &element)
{
    for (const Attribute &attribute : element.attributes) {
        if (gen__qtxmlif_add_attr(attribute.name.c_str(), attribute.value.c_str())
            != GEN_QTXMLIF_OK)
            return false;
    }
    if (!element.text.empty() && gen__qtxmlif_add_text(element.text.c_str()) != GEN_QTXMLIF_OK)
        return false;
    for (const Element &child : element.children) {
        if (child.attributes.empty() && child.text.empty() && child.children.empty()) {
            if (gen__qtxmlif_add_node(child.name.c_str()) != GEN_QTXMLIF_OK)
                return false;
            continue;
        }
        if (gen__qtxmlif_open_node(child.name.c_str()) != GEN_QTXMLIF_OK || !addContent(child)
            || gen__qtxmlif_close_node() != GEN_QTXMLIF_OK)
            return false;
    }
    return true;
}

class ZgqxRunner : public Runner
{
public:
    ~ZgqxRunner() override { release(); }

    const char *name() const override { return "zgqx"; }

    bool buildAndSave(const Element &root, const std::string &path) override
    {
        int id = -1;
        if (gen__qtxmlif_add_document(&id, root.name.c_str()) != GEN_QTXMLIF_OK)
            return false;
        const bool built = addContent(root);
        const bool saved = built && gen__qtxmlif_save(id, path.c_str()) == GEN_QTXMLIF_OK;
        return gen__qtxmlif_del_document(id) == GEN_QTXMLIF_OK && saved;
    }

    bool loadAndRelease(const std::string &path) override
    {
        int id = -1;
        if (gen__qtxmlif_load(path.c_str(), &id) != GEN_QTXMLIF_OK)
            return false;
        return gen__qtxmlif_del_document(id) == GEN_QTXMLIF_OK;
    }

    bool hold(const std::string &path) override
    {
        release();
        return gen__qtxmlif_load(path.c_str(), &held) == GEN_QTXMLIF_OK;
    }

    void release() override
    {
        if (held > 0)
            gen__qtxmlif_del_document(held);
        held = -1;
    }

    long long entityWalk() override { return walkEntities(held); }

    long long queryWalk(const Element &root) override
    {
        void *handle = nullptr;
        if (gen__qtxmlif_begin_traversion(held, nullptr, &handle) != GEN_QTXMLIF_OK)
            return -1;
        const long long found = visit(handle, root);
        gen__qtxmlif_end_traversion(held);
        return found;
    }

    long long toText() override
    {
        QString text;
        if (gen__qtxmlif_doc_to_string(held, &text) != GEN_QTXMLIF_OK)
            return -1;
        return text.size();
    }

private:
    long long visit(void *handle, const Element &element)
    {
        long long found = 1;
        for (const Attribute &attribute : element.attributes) {
            char *value = nullptr;
            bool present = false;
            if (gen__qtxmlif_get_named_attribute(
                    held, handle, attribute.name.c_str(), &value, &present)
                != GEN_QTXMLIF_OK)
                return -1;
            releaseText(value);
            found += present ? 1 : 0;
        }
        // One child variable for all children: each query releases the
        // handle the previous one left in it.
        void *child = nullptr;
        for (const Element &expected : element.children) {
            char *childName = nullptr;
            if (gen__qtxmlif_get_next_child_node(held, handle, &childName, &child) != GEN_QTXMLIF_OK
                || !child) {
                releaseText(childName);
                gen__qtxmlif_delete_node(&child);
                return -1;
            }
            releaseText(childName);
            const long long below = visit(child, expected);
            if (below < 0) {
                gen__qtxmlif_delete_node(&child);
                return -1;
            }
            found += below;
        }
        // The query that finds no further child ends the element.
        char *childName = nullptr;
        const int status = gen__qtxmlif_get_next_child_node(held, handle, &childName, &child);
        const bool ended = status == GEN_QTXMLIF_OK && !child;
        releaseText(childName);
        gen__qtxmlif_delete_node(&child);
        return ended ? found : -1;
    }

    int held = -1;
};

} // namespace

void releaseText(char *text)
{
    gen__mem_free(text, 1, __FILE__, __LINE__);
}

long long walkEntities(int id)
{
    if (gen__qtxmlif_begin_traversion(id, nullptr, nullptr) != GEN_QTXMLIF_OK)
        return -1;
    long long entities = 0;
    int status = GEN_QTXMLIF_OK;
    do {
        int type = XML_ETYPE_NONE;
        char *name = nullptr;
        char *value = nullptr;
        int depth = -1;
        bool end = false;
        status = gen__qtxmlif_get_next_entity(id, &type, &name, &value, &depth, &end);
        if (type != XML_ETYPE_NONE)
            ++entities;
        releaseText(name);
        releaseText(value);
    } while (status == GEN_QTXMLIF_OK);
    gen__qtxmlif_end_traversion(id);
    return status == GEN_QTXMLIF_END ? entities : -1;
}

std::unique_ptr<Runner> makeZgqxRunner()
{
    return std::make_unique<ZgqxRunner>();
}

} // namespace zgqxbench
