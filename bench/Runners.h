// SPDX-License-Identifier: MIT
// One XML library doing the benchmark's workloads. This library's C
// interface, raw Qt DOM (the floor it stands on) and the peers a C programmer
// would pick instead each implement it.
#ifndef ZGQX_BENCH_RUNNERS_H
#define ZGQX_BENCH_RUNNERS_H

#include "Documents.h"

#include <memory>
#include <string>
#include <vector>

namespace zgqxbench {

class Runner
{
public:
    virtual ~Runner() = default;

    virtual const char *name() const = 0;

    // Builds the tree with the library's own building calls and saves it to
    // path indented by 4; the built document is released before returning.
    virtual bool buildAndSave(const Element &root, const std::string &path) = 0;
    // Parses the file and releases the result.
    virtual bool loadAndRelease(const std::string &path) = 0;

    // Parses the file and keeps the result for the reading workloads below.
    virtual bool hold(const std::string &path) = 0;
    virtual void release() = 0;

    // Reads every entity of the held document in document order: each
    // element's start, its attributes' names and values, its texts, its end.
    // Returns the number of entities read, -1 on failure.
    virtual long long entityWalk() = 0;
    // Moves from each element to its child elements by child queries and asks
    // for each attribute that root's tree gives the element, by name. Returns
    // elements visited plus attributes found, -1 on failure.
    virtual long long queryWalk(const Element &root) = 0;
    // Renders the held document indented by 2; returns the text's length.
    virtual long long toText() = 0;
};

std::unique_ptr<Runner> makeZgqxRunner();

// This library's calls, shared by its runner and the scaling benchmarks.
// Releases a string the library handed out.
void releaseText(char *text);
// Walks document id entity by entity, releasing every string; returns the
// entities read, -1 on failure.
long long walkEntities(int id);
std::unique_ptr<Runner> makeQtDomRunner();
// Null when the benchmark was built without that library.
std::unique_ptr<Runner> makeLibxml2Runner();
std::unique_ptr<Runner> makePugixmlRunner();

} // namespace zgqxbench

#endif // ZGQX_BENCH_RUNNERS_H
