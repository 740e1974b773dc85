// SPDX-License-Identifier: MIT
#ifndef ZGQX_SOURCETAGS_H
#define ZGQX_SOURCETAGS_H

#include <cstdint>
#include <vector>

// What the read that checks a text's limits notes of its start tags, as it
// passes every tag anyway: the attribute order of a loaded document is taken
// from it without a second scan of the text. For each tag the list of names
// holds the tag's own name followed by its attributes' names, namespace
// declarations left out; a tag with fewer than two attributes, whose order
// is never in doubt, has no names noted unless tags are matched by name.
// Positions count the text's code units.
struct SourceTags
{
    struct Name
    {
        std::uint32_t offset;
        std::uint32_t size;
    };

    // The text's code units: 1 (UTF-8), 2 or 4 bytes, and their byte order.
    int width = 1;
    bool bigEndian = false;
    // Tag k belongs to element k in document order, unless the text has a
    // DOCTYPE, whose entities make elements no tag names: tags then go to
    // the elements of their name, in document order.
    bool byName = false;
    // False for a text past 4 GiB, whose positions the notes cannot hold.
    bool usable = true;
    std::vector<std::uint32_t> tags; // each tag's first entry in names
    std::vector<Name> names;

    void drop()
    {
        usable = false;
        tags = {};
        names = {};
    }
};

#endif // ZGQX_SOURCETAGS_H
