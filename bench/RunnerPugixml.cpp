// SPDX-License-Identifier: MIT
// pugixml as a C++ programmer would use it: its tree to build, save, load and
// walk. Names and values are read in place; the library makes no copies.
#include "Runners.h"

#include <benchmark/benchmark.h>

#include <pugixml.hpp>

#include <cstring>

namespace zgqxbench {

namespace {

void addContent(pugi::xml_node target, const Element &element)
{
    for (const Attribute &attribute : element.attributes)
        target.append_attribute(attribute.name.c_str()).set_value(attribute.value.c_str());
    if (!element.text.empty())
        target.append_child(pugi::node_pcdata).set_value(element.text.c_str());
    for (const Element &child : element.children)
        addContent(target.append_child(child.name.c_str()), child);
}

bool isText(const pugi::xml_node &node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

long long walk(const pugi::xml_node &node, int depth, std::size_t &touched)
{
    long long entities = 2;
    touched += 2 * std::strlen(node.name()) + depth;
    for (const pugi::xml_attribute &attribute : node.attributes()) {
        ++entities;
        touched += std::strlen(attribute.name()) + std::strlen(attribute.value());
    }
    for (const pugi::xml_node &child : node.children()) {
        if (isText(child)) {
            ++entities;
            touched += std::strlen(child.value());
        } else if (child.type() == pugi::node_element) {
            entities += walk(child, depth + 1, touched);
        }
    }
    return entities;
}

long long query(const pugi::xml_node &node, const Element &expected)
{
    long long found = 1;
    for (const Attribute &attribute : expected.attributes) {
        const pugi::xml_attribute value = node.attribute(attribute.name.c_str());
        benchmark::DoNotOptimize(std::strlen(value.value()));
        found += value ? 1 : 0;
    }
    auto next = expected.children.begin();
    for (const pugi::xml_node &child : node.children()) {
        if (isText(child))
            continue;
        if (next == expected.children.end())
            return -1;
        benchmark::DoNotOptimize(std::strlen(child.name()));
        const long long below = query(child, *next++);
        if (below < 0)
            return -1;
        found += below;
    }
    return next == expected.children.end() ? found : -1;
}

class StringWriter : public pugi::xml_writer
{
public:
    void write(const void *data, size_t size) override
    {
        text.append(static_cast<const char *>(data), size);
    }
    std::string text;
};

class PugixmlRunner : public Runner
{
public:
    const char *name() const override { return "pugixml"; }

    bool buildAndSave(const Element &root, const std::string &path) override
    {
        pugi::xml_document document;
        addContent(document.append_child(root.name.c_str()), root);
        return document.save_file(path.c_str(), "    ");
    }

    bool loadAndRelease(const std::string &path) override
    {
        pugi::xml_document document;
        return static_cast<bool>(document.load_file(path.c_str()));
    }

    bool hold(const std::string &path) override
    {
        held.reset();
        return static_cast<bool>(held.load_file(path.c_str()));
    }

    void release() override { held.reset(); }

    long long entityWalk() override
    {
        const pugi::xml_node root = held.document_element();
        if (!root)
            return -1;
        std::size_t touched = 0;
        const long long entities = walk(root, 0, touched);
        benchmark::DoNotOptimize(touched);
        return entities;
    }

    long long queryWalk(const Element &root) override
    {
        const pugi::xml_node top = held.document_element();
        return top ? query(top, root) : -1;
    }

    long long toText() override
    {
        StringWriter writer;
        held.save(writer, "  ");
        return static_cast<long long>(writer.text.size());
    }

private:
    pugi::xml_document held;
};

} // namespace

std::unique_ptr<Runner> makePugixmlRunner()
{
    return std::make_unique<PugixmlRunner>();
}

} // namespace zgqxbench
