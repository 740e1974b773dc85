// SPDX-License-Identifier: MIT
// libxml2 as a C programmer would use it: the text writer to build and save,
// the tree parser to load, the reader interface over the parsed tree to walk.
// Names and values are read in place; the library makes no copies of them.
#include "Runners.h"

#include <benchmark/benchmark.h>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlreader.h>
#include <libxml/xmlwriter.h>

#include <cstring>

namespace zgqxbench {

namespace {

const xmlChar *xml(const std::string &text)
{
    return reinterpret_cast<const xmlChar *>(text.c_str());
}

std::size_t length(const xmlChar *text)
{
    return text ? std::strlen(reinterpret_cast<const char *>(text)) : 0;
}

// Depth 1000 needs XML_PARSE_HUGE: libxml2 stops at 256 levels otherwise.
constexpr int parseOptions = XML_PARSE_HUGE | XML_PARSE_NONET;

bool write(xmlTextWriterPtr writer, const Element &element)
{
    if (xmlTextWriterStartElement(writer, xml(element.name)) < 0)
        return false;
    for (const Attribute &attribute : element.attributes) {
        if (xmlTextWriterWriteAttribute(writer, xml(attribute.name), xml(attribute.value)) < 0)
            return false;
    }
    if (!element.text.empty() && xmlTextWriterWriteString(writer, xml(element.text)) < 0)
        return false;
    for (const Element &child : element.children) {
        if (!write(writer, child))
            return false;
    }
    return xmlTextWriterEndElement(writer) >= 0;
}

bool isText(const xmlNode *node)
{
    return node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
}

long long query(const xmlNode *node, const Element &expected)
{
    long long found = 1;
    for (const Attribute &attribute : expected.attributes) {
        xmlChar *value = xmlGetProp(node, xml(attribute.name));
        if (value) {
            benchmark::DoNotOptimize(length(value));
            xmlFree(value);
            ++found;
        }
    }
    auto next = expected.children.begin();
    for (const xmlNode *child = node->children; child; child = child->next) {
        if (isText(child))
            continue;
        if (next == expected.children.end())
            return -1;
        benchmark::DoNotOptimize(length(child->name));
        const long long below = query(child, *next++);
        if (below < 0)
            return -1;
        found += below;
    }
    return next == expected.children.end() ? found : -1;
}

class Libxml2Runner : public Runner
{
public:
    Libxml2Runner() { xmlInitParser(); }
    ~Libxml2Runner() override { release(); }

    const char *name() const override { return "libxml2"; }

    bool buildAndSave(const Element &root, const std::string &path) override
    {
        xmlTextWriterPtr writer = xmlNewTextWriterFilename(path.c_str(), 0);
        if (!writer)
            return false;
        bool written = xmlTextWriterSetIndent(writer, 1) >= 0
            && xmlTextWriterSetIndentString(writer, BAD_CAST "    ") >= 0
            && xmlTextWriterStartDocument(writer, nullptr, "UTF-8", nullptr) >= 0
            && write(writer, root) && xmlTextWriterEndDocument(writer) >= 0;
        xmlFreeTextWriter(writer);
        return written;
    }

    bool loadAndRelease(const std::string &path) override
    {
        xmlDocPtr document = xmlReadFile(path.c_str(), nullptr, parseOptions);
        xmlFreeDoc(document);
        return document != nullptr;
    }

    bool hold(const std::string &path) override
    {
        release();
        held = xmlReadFile(path.c_str(), nullptr, parseOptions);
        return held != nullptr;
    }

    void release() override
    {
        xmlFreeDoc(held);
        held = nullptr;
    }

    long long entityWalk() override
    {
        xmlTextReaderPtr reader = xmlReaderWalker(held);
        if (!reader)
            return -1;
        long long entities = 0;
        std::size_t touched = 0;
        int status;
        while ((status = xmlTextReaderRead(reader)) == 1) {
            switch (xmlTextReaderNodeType(reader)) {
            case XML_READER_TYPE_ELEMENT:
                ++entities;
                touched += length(xmlTextReaderConstName(reader)) + xmlTextReaderDepth(reader);
                while (xmlTextReaderMoveToNextAttribute(reader) == 1) {
                    ++entities;
                    touched += length(xmlTextReaderConstName(reader))
                        + length(xmlTextReaderConstValue(reader));
                }
                xmlTextReaderMoveToElement(reader);
                // An element without children has no end of its own.
                if (xmlTextReaderIsEmptyElement(reader) == 1)
                    ++entities;
                break;
            case XML_READER_TYPE_END_ELEMENT:
                ++entities;
                touched += length(xmlTextReaderConstName(reader));
                break;
            case XML_READER_TYPE_TEXT:
            case XML_READER_TYPE_CDATA:
                ++entities;
                touched += length(xmlTextReaderConstValue(reader));
                break;
            default:
                break;
            }
        }
        xmlFreeTextReader(reader);
        benchmark::DoNotOptimize(touched);
        return status == 0 ? entities : -1;
    }

    long long queryWalk(const Element &root) override
    {
        const xmlNode *top = xmlDocGetRootElement(held);
        return top ? query(top, root) : -1;
    }

    long long toText() override
    {
        xmlChar *text = nullptr;
        int size = 0;
        xmlDocDumpFormatMemory(held, &text, &size, 1);
        xmlFree(text);
        return text ? size : -1;
    }

private:
    xmlDocPtr held = nullptr;
};

} // namespace

std::unique_ptr<Runner> makeLibxml2Runner()
{
    return std::make_unique<Libxml2Runner>();
}

} // namespace zgqxbench
