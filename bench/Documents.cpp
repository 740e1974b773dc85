// SPDX-License-Identifier: MIT
#include "Documents.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace zgqxbench {

namespace {

constexpr std::size_t chainDepth = 1000;

void appendEscaped(std::string &out, const std::string &text, bool attribute)
{
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += attribute ? ">" : "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        default:
            out += c;
        }
    }
}

void appendElement(std::string &out, const Element &element)
{
    out += '<';
    out += element.name;
    for (const Attribute &attribute : element.attributes) {
        out += ' ';
        out += attribute.name;
        out += "=\"";
        appendEscaped(out, attribute.value, true);
        out += '"';
    }
    if (element.text.empty() && element.children.empty()) {
        out += "/>";
        return;
    }
    out += '>';
    appendEscaped(out, element.text, false);
    for (const Element &child : element.children)
        appendElement(out, child);
    out += "</";
    out += element.name;
    out += '>';
}

std::size_t xmlSize(const Element &element)
{
    std::string text;
    appendElement(text, element);
    return text.size();
}

std::string number(std::size_t value)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%06zu", value);
    return buffer;
}

// The element Wide and Deep are made of; fixed width, so that both shapes
// of one size hold the same count.
Element item(std::size_t index)
{
    Element element;
    element.name = "item";
    element.attributes = { { "id", number(index) }, { "kind", "k" + std::to_string(index % 10) } };
    element.text = "value " + number(index);
    return element;
}

// XML declaration, <root> and </root>.
std::size_t frameBytes()
{
    Element root;
    root.name = "root";
    root.text = "x";
    return toXml(root).size() - 1;
}

std::size_t itemCount(std::size_t targetBytes)
{
    const std::size_t frame = frameBytes();
    const std::size_t perItem = xmlSize(item(0));
    if (targetBytes <= frame + perItem)
        return 1;
    return (targetBytes - frame) / perItem;
}

Element wide(std::size_t items)
{
    Element root;
    root.name = "root";
    root.children.reserve(items);
    for (std::size_t i = 0; i < items; ++i)
        root.children.push_back(item(i));
    return root;
}

// Chains of chainDepth items under the root, the last one shorter when the
// count is not a multiple of it.
Element deep(std::size_t items)
{
    Element root;
    root.name = "root";
    std::size_t next = 0;
    while (next < items) {
        const std::size_t length = std::min(chainDepth, items - next);
        // Built from the bottom up, so that every element is moved, not copied.
        Element chain = item(next + length - 1);
        for (std::size_t k = length - 1; k > 0; --k) {
            Element parent = item(next + k - 1);
            parent.children.push_back(std::move(chain));
            chain = std::move(parent);
        }
        root.children.push_back(std::move(chain));
        next += length;
    }
    return root;
}

// A fixed-seed generator, so that every run sees the same Mixed document.
class Random
{
public:
    unsigned next(unsigned bound)
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>(state >> 33) % bound;
    }

private:
    unsigned long long state = 0x2545F4914F6CDD1DULL;
};

Element record(Random &random, std::size_t index)
{
    Element record;
    record.name = "record";
    record.attributes
        = { { "id", "r" + number(index) }, { "type", "t" + std::to_string(random.next(7)) } };
    if (random.next(3) == 0)
        record.attributes.push_back({ "status", random.next(2) ? "active" : "retired" });

    Element title;
    title.name = "title";
    title.text = "Record " + std::to_string(index) + " & co";
    record.children.push_back(std::move(title));

    Element group;
    group.name = "group";
    group.attributes = { { "kind", random.next(2) ? "primary" : "secondary" } };
    const unsigned entries = 1 + random.next(3);
    for (unsigned e = 0; e < entries; ++e) {
        Element entry;
        entry.name = "entry";
        entry.attributes = { { "key", "k" + std::to_string(e) } };
        if (random.next(4) == 0)
            entry.attributes.push_back({ "unit", "\"mm\"" });
        entry.text = std::to_string(random.next(100000)) + " < limit";
        if (random.next(3) == 0) {
            Element note;
            note.name = "note";
            note.text = "checked";
            entry.children.push_back(std::move(note));
        }
        group.children.push_back(std::move(entry));
    }
    record.children.push_back(std::move(group));

    if (random.next(4) == 0) {
        Element flag;
        flag.name = "flag";
        record.children.push_back(std::move(flag));
    }
    return record;
}

Element mixed(std::size_t targetBytes)
{
    constexpr std::size_t recordsPerSection = 20;
    // Declaration, the root's tags and a section's tags, near enough: only the
    // written file's size is reported.
    constexpr std::size_t frame = 80;
    constexpr std::size_t perSection = 40;
    Random random;
    Element root;
    root.name = "catalog";
    root.attributes = { { "version", "1.0" } };
    std::size_t bytes = frame;
    std::size_t index = 0;
    while (bytes < targetBytes || root.children.empty()) {
        Element section;
        section.name = "section";
        section.attributes = { { "name", "s" + std::to_string(root.children.size()) } };
        bytes += perSection;
        do {
            Element next = record(random, index++);
            bytes += xmlSize(next);
            section.children.push_back(std::move(next));
        } while (section.children.size() < recordsPerSection && bytes < targetBytes);
        root.children.push_back(std::move(section));
    }
    return root;
}

void countInto(const Element &element, std::size_t depth, Counts &counts)
{
    ++counts.elements;
    counts.attributes += element.attributes.size();
    if (!element.text.empty())
        ++counts.texts;
    if (depth > counts.maxDepth)
        counts.maxDepth = depth;
    for (const Element &child : element.children)
        countInto(child, depth + 1, counts);
}

class ScratchDirectory
{
public:
    ScratchDirectory()
    {
        const char *base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/zgqx-bench-XXXXXX";
        if (char *made = mkdtemp(pattern.data()))
            path = made;
    }
    ~ScratchDirectory()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

} // namespace

const char *shapeName(Shape shape)
{
    switch (shape) {
    case Shape::Wide:
        return "wide";
    case Shape::Deep:
        return "deep";
    case Shape::Mixed:
        return "mixed";
    }
    return "?";
}

Document generate(Shape shape, std::size_t targetBytes)
{
    Document document;
    document.shape = shape;
    document.targetBytes = targetBytes;
    switch (shape) {
    case Shape::Wide:
        document.root = wide(itemCount(targetBytes));
        break;
    case Shape::Deep:
        document.root = deep(itemCount(targetBytes));
        break;
    case Shape::Mixed:
        document.root = mixed(targetBytes);
        break;
    }
    document.counts = count(document.root);
    return document;
}

std::string toXml(const Element &root)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    appendElement(out, root);
    out += '\n';
    return out;
}

Counts count(const Element &root)
{
    Counts counts;
    countInto(root, 0, counts);
    return counts;
}

bool writeFile(Document &document, const std::string &path)
{
    const std::string text = toXml(document.root);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out)
        return false;
    document.path = path;
    document.fileBytes = text.size();
    return true;
}

const std::string &scratchDirectory()
{
    static ScratchDirectory directory;
    return directory.path;
}

} // namespace zgqxbench
