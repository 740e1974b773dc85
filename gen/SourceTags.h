// SPDX-License-Identifier: MIT
#ifndef ZGQX_SOURCETAGS_H
#define ZGQX_SOURCETAGS_H

#include <cstdint>
#include <vector>

// Where the start tags of a UTF-8 text name their attributes, noted by the
// read that checks the text's limits, which passes every tag anyway: the
// attribute order of a loaded document is taken from it without a second
// scan of the text. Namespace declarations are left out, and so are the
// names of a tag with fewer than two attributes, whose order is never in
// doubt. Positions are byte offsets into the text.
struct SourceTags
{
    struct Tag
    {
        std::uint32_t offset; // of the tag's '<'
        std::uint32_t firstName; // index of its first name in names
    };
    struct Name
    {
        std::uint32_t offset;
        std::uint32_t size;
    };

    // False when the notes cannot be matched to elements one to one: a text
    // not in UTF-8, one with a DOCTYPE (whose entities and defaults make
    // elements and attributes no tag names), or one past 4 GiB.
    bool usable = true;
    std::vector<Tag> tags; // in document order
    std::vector<Name> names;

    void drop()
    {
        usable = false;
        tags = {};
        names = {};
    }
};

#endif // ZGQX_SOURCETAGS_H
