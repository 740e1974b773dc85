// SPDX-License-Identifier: MIT
// The documents every runner of the benchmarks builds, loads and walks.
//
// A document is generated once as a tree of plain structs; its XML text is
// written to a file, so that the builders work from the same tree and the
// loaders parse the same bytes.
#ifndef ZGQX_BENCH_DOCUMENTS_H
#define ZGQX_BENCH_DOCUMENTS_H

#include <cstddef>
#include <string>
#include <vector>

namespace zgqxbench {

struct Attribute
{
    std::string name;
    std::string value;
};

// An element holds its attributes, then an optional text, then its child
// elements. The files carry no whitespace between tags, so every parser sees
// the same text nodes.
struct Element
{
    std::string name;
    std::vector<Attribute> attributes;
    std::string text; // empty: no text node
    std::vector<Element> children;
};

enum class Shape {
    Wide, // the root with N children, each with two attributes and a text
    Deep, // the root with chains of depth 1000 (one shorter chain when the
          // document is too small), made of the same elements as Wide
    Mixed // records with varying attributes and text, nested five levels
};

// What a walk of the document delivers, one entity each: the start and end of
// every element, every attribute, every text.
struct Counts
{
    std::size_t elements = 0;
    std::size_t attributes = 0;
    std::size_t texts = 0;
    std::size_t maxDepth = 0; // the root has depth 0

    std::size_t entities() const { return 2 * elements + attributes + texts; }
};

struct Document
{
    Shape shape = Shape::Wide;
    std::size_t targetBytes = 0;
    Element root;
    Counts counts;
    std::string path; // the XML text, written by writeFile()
    std::size_t fileBytes = 0;
};

const char *shapeName(Shape shape);

// Generates a document of about targetBytes of XML text. Wide and Deep of one
// size hold the same number of identical elements.
Document generate(Shape shape, std::size_t targetBytes);

// Serialises without indentation, with an XML declaration.
std::string toXml(const Element &root);

Counts count(const Element &root);

// Writes the document's XML to path and records path and size in it.
bool writeFile(Document &document, const std::string &path);

// A private directory for the benchmark files, removed at exit.
const std::string &scratchDirectory();

} // namespace zgqxbench

#endif // ZGQX_BENCH_DOCUMENTS_H
