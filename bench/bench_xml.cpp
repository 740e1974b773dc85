// SPDX-License-Identifier: MIT
// Benchmarks of this library's C interface against raw Qt DOM, libxml2 and
// pugixml, and of how its calls scale with live documents, depth and
// attribute count.
//
// Benchmark names are workload/shape/size/runner, e.g. load/wide/1MB/zgqx, so
// that --benchmark_filter=/1MB/ picks one size. Every run reports per_entity
// (time per walk entity of the document), bytes_per_second (of the document's
// XML) and peak_MB_per_MB (see PeakMemory.h). 50 MB documents are included
// only when ZGQX_BENCH_LARGE=1.
#include "Documents.h"
#include "PeakMemory.h"
#include "Runners.h"

#include <gen_lowlevel.h>
#include <gen_qtxmlif.h>

#include <QDomDocument>
#include <QFile>
#include <QSaveFile>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <type_traits>

namespace zgqxbench {

namespace {

struct Size
{
    const char *label;
    std::size_t bytes;
};

enum class Workload { BuildSave, Load, EntityWalk, QueryWalk, ToText };

const char *workloadName(Workload workload)
{
    switch (workload) {
    case Workload::BuildSave:
        return "build_save";
    case Workload::Load:
        return "load";
    case Workload::EntityWalk:
        return "entity_walk";
    case Workload::QueryWalk:
        return "query_walk";
    case Workload::ToText:
        return "doc_to_string";
    }
    return "?";
}

bool readsHeldDocument(Workload workload)
{
    return workload != Workload::BuildSave && workload != Workload::Load;
}

// A failed check makes the program exit non-zero after all runs, so that a
// run that measured nothing is not taken for a result.
bool anyFailure = false;

void fail(benchmark::State &state, const std::string &message)
{
    anyFailure = true;
    state.SkipWithError(message.c_str());
}

void reportPerEntity(benchmark::State &state, double entities, const char *counter = "per_entity")
{
    state.counters[counter] = benchmark::Counter(
        entities, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["entities"] = entities;
}

std::vector<std::unique_ptr<Runner>> &runners()
{
    static std::vector<std::unique_ptr<Runner>> all;
    return all;
}

// The one document the runs use at a time, and the runners holding a parse of
// it; runs are registered document by document, so each is made once.
struct Corpus
{
    std::unique_ptr<Document> document;
    std::vector<Runner *> holding;

    void clear()
    {
        for (Runner *runner : holding)
            runner->release();
        holding.clear();
        if (document && !document->path.empty())
            std::remove(document->path.c_str());
        document.reset();
    }
};

Corpus &corpus()
{
    static Corpus current;
    return current;
}

const Document *documentFor(Shape shape, const Size &size)
{
    Corpus &current = corpus();
    if (current.document && current.document->shape == shape
        && current.document->targetBytes == size.bytes)
        return current.document.get();
    current.clear();
    current.document = std::make_unique<Document>(generate(shape, size.bytes));
    const std::string path
        = scratchDirectory() + "/" + shapeName(shape) + "-" + size.label + ".xml";
    if (!writeFile(*current.document, path)) {
        current.document.reset();
        return nullptr;
    }
    return current.document.get();
}

bool holdDocument(Runner &runner, const Document &document)
{
    Corpus &current = corpus();
    for (Runner *holder : current.holding) {
        if (holder == &runner)
            return true;
    }
    if (!runner.hold(document.path))
        return false;
    current.holding.push_back(&runner);
    return true;
}

long long fileSize(const std::string &path)
{
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return -1;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    return size;
}

void runWorkload(benchmark::State &state, Workload workload, Shape shape, Size size, Runner *runner)
{
    const Document *document = documentFor(shape, size);
    if (!document) {
        fail(state, "cannot write the document");
        return;
    }
    if (readsHeldDocument(workload) && !holdDocument(*runner, *document)) {
        fail(state, "cannot parse the document");
        return;
    }
    const std::string saved = scratchDirectory() + "/saved-" + runner->name() + ".xml";
    const long long entities = static_cast<long long>(document->counts.entities());
    const long long queried
        = static_cast<long long>(document->counts.elements + document->counts.attributes);

    const auto runOnce = [&](long long *result) {
        switch (workload) {
        case Workload::BuildSave:
            return runner->buildAndSave(document->root, saved);
        case Workload::Load:
            return runner->loadAndRelease(document->path);
        case Workload::EntityWalk:
            *result = runner->entityWalk();
            return *result == entities;
        case Workload::QueryWalk:
            *result = runner->queryWalk(document->root);
            return *result == queried;
        case Workload::ToText:
            *result = runner->toText();
            return *result > 0;
        }
        return false;
    };
    const auto failed = [&](long long result) {
        fail(state,
            std::string(workloadName(workload)) + " failed or got " + std::to_string(result));
    };

    // One untimed run measures the peak memory. It also warms the heap and
    // the file cache: timed, that first run fell on whichever runner came
    // first, and the 10 MB cases run a single timed iteration.
    PeakMemory memory;
    memory.start();
    long long result = 0;
    if (!runOnce(&result)) {
        failed(result);
        return;
    }
    const double peakBytes = memory.peakBytes();
    for (auto _ : state) {
        if (!runOnce(&result)) {
            failed(result);
            return;
        }
    }
    // Indenting only adds to the text: a saved file smaller than the compact
    // one lost part of the document.
    if (workload == Workload::BuildSave
        && fileSize(saved) < static_cast<long long>(document->fileBytes)) {
        fail(state, "the saved file is shorter than the document");
        return;
    }
    reportPerEntity(state, static_cast<double>(entities));
    state.SetBytesProcessed(
        static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(document->fileBytes));
    if (peakBytes >= 0)
        state.counters["peak_MB_per_MB"] = peakBytes / static_cast<double>(document->fileBytes);
}

// ---- Scaling with the number of live documents -------------------------------

// liveCount documents, the measured one created in the middle, so that a scan
// of the documents in either direction passes half of them.
class LiveDocuments
{
public:
    LiveDocuments(int liveCount, const std::function<int()> &makeMeasured)
    {
        for (int i = 0; i < (liveCount - 1) / 2; ++i)
            addExtra();
        measured = makeMeasured();
        while (static_cast<int>(extras.size()) < liveCount - 1)
            addExtra();
        gen__qtxmlif_set_working_document(measured);
    }
    ~LiveDocuments()
    {
        for (int id : extras)
            gen__qtxmlif_del_document(id);
        if (measured > 0)
            gen__qtxmlif_del_document(measured);
    }
    LiveDocuments(const LiveDocuments &) = delete;
    LiveDocuments &operator=(const LiveDocuments &) = delete;

    bool ready() const { return measured > 0 && !failed; }
    int measured = -1;

private:
    void addExtra()
    {
        int id = -1;
        failed |= gen__qtxmlif_add_document(&id, "extra") != GEN_QTXMLIF_OK;
        extras.push_back(id);
    }
    std::vector<int> extras;
    bool failed = false;
};

constexpr int scalingBuildIterations = 100000;

bool addItem()
{
    return gen__qtxmlif_open_node("item") == GEN_QTXMLIF_OK
        && gen__qtxmlif_add_attr("id", "1") == GEN_QTXMLIF_OK
        && gen__qtxmlif_close_node() == GEN_QTXMLIF_OK;
}

void scalingBuild(benchmark::State &state, int liveCount)
{
    // A first build of this size pays for growing the heap; without this the
    // run that comes first looks slower for that reason alone.
    int warmUp = -1;
    if (gen__qtxmlif_add_document(&warmUp, "root") != GEN_QTXMLIF_OK) {
        fail(state, "cannot create the documents");
        return;
    }
    bool warm = true;
    for (int i = 0; i < scalingBuildIterations && warm; ++i)
        warm = addItem();
    gen__qtxmlif_del_document(warmUp);
    if (!warm) {
        fail(state, "a builder call failed");
        return;
    }

    LiveDocuments live(liveCount, [] {
        int id = -1;
        return gen__qtxmlif_add_document(&id, "root") == GEN_QTXMLIF_OK ? id : -1;
    });
    if (!live.ready()) {
        fail(state, "cannot create the documents");
        return;
    }
    for (auto _ : state) {
        if (!addItem()) {
            fail(state, "a builder call failed");
            return;
        }
    }
    reportPerEntity(state, 3, "per_call");
}

void scalingWalk(benchmark::State &state, int liveCount)
{
    const Document *document = documentFor(Shape::Wide, { "1KB", 1024 });
    if (!document) {
        fail(state, "cannot write the document");
        return;
    }
    LiveDocuments live(liveCount, [document] {
        int id = -1;
        return gen__qtxmlif_load(document->path.c_str(), &id) == GEN_QTXMLIF_OK ? id : -1;
    });
    if (!live.ready()) {
        fail(state, "cannot create the documents");
        return;
    }
    const long long expected = static_cast<long long>(document->counts.entities());
    for (auto _ : state) {
        const long long entities = walkEntities(live.measured);
        if (entities != expected) {
            fail(state, "the walk got " + std::to_string(entities) + " entities");
            return;
        }
    }
    reportPerEntity(state, static_cast<double>(expected));
}

// ---- Attributes of one element ----------------------------------------------

struct AttributeNames
{
    explicit AttributeNames(int count)
    {
        char text[16];
        for (int i = 0; i < count; ++i) {
            std::snprintf(text, sizeof text, "a%05d", i);
            names.emplace_back(text);
            std::snprintf(text, sizeof text, "v%05d", i);
            values.emplace_back(text);
        }
    }
    std::vector<std::string> names;
    std::vector<std::string> values;
};

// A document whose root carries count attributes; -1 on failure.
int documentWithAttributes(const AttributeNames &attributes)
{
    int id = -1;
    if (gen__qtxmlif_add_document(&id, "root") != GEN_QTXMLIF_OK)
        return -1;
    for (std::size_t i = 0; i < attributes.names.size(); ++i) {
        if (gen__qtxmlif_add_attr(attributes.names[i].c_str(), attributes.values[i].c_str())
            != GEN_QTXMLIF_OK) {
            gen__qtxmlif_del_document(id);
            return -1;
        }
    }
    return id;
}

void attributesBuild(benchmark::State &state, int count)
{
    const AttributeNames attributes(count);
    for (auto _ : state) {
        const int id = documentWithAttributes(attributes);
        if (id < 0 || gen__qtxmlif_del_document(id) != GEN_QTXMLIF_OK) {
            fail(state, "cannot build the element");
            return;
        }
    }
    reportPerEntity(state, count, "per_attribute");
}

// Raw Qt's building of the same document.
QDomDocument qtDocumentWithAttributes(const AttributeNames &attributes)
{
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("root"));
    document.appendChild(root);
    for (std::size_t i = 0; i < attributes.names.size(); ++i)
        root.setAttribute(QString::fromUtf8(attributes.names[i].c_str()),
            QString::fromLocal8Bit(attributes.values[i].c_str()));
    return document;
}

void attributesBuildQt(benchmark::State &state, int count)
{
    const AttributeNames attributes(count);
    for (auto _ : state) {
        const QDomDocument document = qtDocumentWithAttributes(attributes);
        if (document.documentElement().attributes().count() != count) {
            fail(state, "cannot build the element");
            return;
        }
    }
    reportPerEntity(state, count, "per_attribute");
}

void attributesWalk(benchmark::State &state, int count)
{
    const AttributeNames attributes(count);
    const int id = documentWithAttributes(attributes);
    if (id < 0) {
        fail(state, "cannot build the element");
        return;
    }
    for (auto _ : state) {
        if (walkEntities(id) != count + 2) {
            fail(state, "the walk missed attributes");
            break;
        }
    }
    gen__qtxmlif_del_document(id);
    reportPerEntity(state, count, "per_attribute");
}

// Qt's own way to the attributes of an element: QDomNamedNodeMap::item(i),
// with the copies the library makes.
void attributesWalkQt(benchmark::State &state, int count)
{
    const AttributeNames attributes(count);
    const QDomDocument document = qtDocumentWithAttributes(attributes);
    for (auto _ : state) {
        const QDomNamedNodeMap map = document.documentElement().attributes();
        int seen = 0;
        for (int i = 0, n = map.count(); i < n; ++i) {
            const QDomNode attribute = map.item(i);
            for (const QString &text : { attribute.nodeName(), attribute.nodeValue() }) {
                const QByteArray local = text.toLocal8Bit();
                char *copy = strdup(local.constData());
                benchmark::DoNotOptimize(copy);
                std::free(copy);
            }
            ++seen;
        }
        if (seen != count) {
            fail(state, "the walk missed attributes");
            return;
        }
    }
    reportPerEntity(state, count, "per_attribute");
}

// ---- Attribute order ------------------------------------------------------------

// The element's text with its attributes, through doc_to_string.
void attributesToText(benchmark::State &state, int count)
{
    const AttributeNames attributes(count);
    const int id = documentWithAttributes(attributes);
    if (id < 0) {
        fail(state, "cannot build the element");
        return;
    }
    QString text;
    for (auto _ : state) {
        if (gen__qtxmlif_doc_to_string(id, &text) != GEN_QTXMLIF_OK) {
            fail(state, "doc_to_string failed");
            break;
        }
    }
    gen__qtxmlif_del_document(id);
    reportPerEntity(state, count, "per_attribute");
}

void attributesToTextQt(benchmark::State &state, int count)
{
    const AttributeNames attributes(count);
    const QDomDocument document = qtDocumentWithAttributes(attributes);
    for (auto _ : state)
        benchmark::DoNotOptimize(document.toString(2));
    reportPerEntity(state, count, "per_attribute");
}

// Whether the attributes of text come in the order attributes names them.
bool inBuildingOrder(const QString &text, const AttributeNames &attributes)
{
    qsizetype at = 0;
    for (const std::string &name : attributes.names) {
        at = text.indexOf(QLatin1Char(' ') + QString::fromStdString(name) + QLatin1Char('='), at);
        if (at < 0)
            return false;
    }
    return true;
}

// A saved document's bytes do not depend on the process: the attributes come
// in the order they were added (here the reverse of their names' order), not
// in the order of Qt's seeded hash. The run fails when they do not.
void attributesInOrder(benchmark::State &state, int count)
{
    AttributeNames attributes(count);
    std::reverse(attributes.names.begin(), attributes.names.end());
    const int id = documentWithAttributes(attributes);
    QString text;
    if (id < 0 || gen__qtxmlif_doc_to_string(id, &text) != GEN_QTXMLIF_OK
        || !inBuildingOrder(text, attributes)) {
        fail(state, "the attributes are not in the order they were added");
        gen__qtxmlif_del_document(id);
        return;
    }
    const std::string path = scratchDirectory() + "/ordered.xml";
    for (auto _ : state) {
        if (gen__qtxmlif_save(id, path.c_str()) != GEN_QTXMLIF_OK) {
            fail(state, "cannot save");
            break;
        }
    }
    gen__qtxmlif_del_document(id);
    reportPerEntity(state, count, "per_attribute");
}

// ---- The fixed cost of replacing a file ---------------------------------------

// One 1 KB write through QFile, as raw Qt saves, and through QSaveFile, as the
// library saves so that a failed save leaves the previous file whole: the
// difference is what every save costs beyond its content.
template<typename File>
void fileWrite(benchmark::State &state)
{
    const QByteArray content(1024, 'x');
    const QString path = QString::fromStdString(scratchDirectory() + "/write.txt");
    for (auto _ : state) {
        File file(path);
        bool written = file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
        if constexpr (std::is_same_v<File, QSaveFile>)
            written = file.commit() && written;
        else
            written = file.flush() && written;
        if (!written) {
            fail(state, "cannot write the file");
            return;
        }
    }
    state.counters["per_call"] = benchmark::Counter(
        1, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// ---- Registration -------------------------------------------------------------

void registerAttributeOrder()
{
    for (int count : { 100, 40000 }) {
        const std::string attrs = "/" + std::to_string(count);
        benchmark::RegisterBenchmark(
            ("attrs_to_string" + attrs + "/zgqx").c_str(), attributesToText, count)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("attrs_to_string" + attrs + "/qtdom").c_str(), attributesToTextQt, count)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("attrs_order" + attrs + "/zgqx").c_str(), attributesInOrder, count)
            ->Unit(benchmark::kMillisecond);
    }
}

// ---- Finding the working document ------------------------------------------

constexpr int builderCallsIterations = 200000;

// Two builder calls that leave the document as it is (the attribute is
// replaced, the level stays): beyond a little DOM work, what they cost is
// finding the working document.
[[gnu::noinline]] bool builderRound()
{
    return gen__qtxmlif_add_attr("k", "v") == GEN_QTXMLIF_OK
        && gen__qtxmlif_open_level() == GEN_QTXMLIF_OK;
}

// Builder calls on the newest of liveCount documents.
void builderCalls(benchmark::State &state, int liveCount)
{
    std::vector<int> ids(static_cast<std::size_t>(liveCount), -1);
    bool ready = true;
    for (int &id : ids)
        ready = ready && gen__qtxmlif_add_document(&id, "root") == GEN_QTXMLIF_OK;
    if (!ready)
        fail(state, "cannot create the documents");
    for (auto _ : state) {
        if (!ready || !builderRound()) {
            fail(state, "a builder call failed");
            break;
        }
    }
    for (int id : ids)
        gen__qtxmlif_del_document(id);
    reportPerEntity(state, 2, "per_call");
}

void registerAll()
{
    std::vector<Size> sizes = { { "1KB", 1024 }, { "64KB", 64 * 1024 }, { "1MB", 1024 * 1024 },
        { "10MB", 10 * 1024 * 1024 } };
    const char *large = std::getenv("ZGQX_BENCH_LARGE");
    if (large && std::strcmp(large, "1") == 0)
        sizes.push_back({ "50MB", 50 * 1024 * 1024 });

    auto &all = runners();
    for (auto make : { makeZgqxRunner, makeQtDomRunner, makeLibxml2Runner, makePugixmlRunner }) {
        if (std::unique_ptr<Runner> runner = make())
            all.push_back(std::move(runner));
    }

    const Workload workloads[] = { Workload::BuildSave, Workload::Load, Workload::EntityWalk,
        Workload::QueryWalk, Workload::ToText };
    for (const Size &size : sizes) {
        for (Shape shape : { Shape::Wide, Shape::Deep, Shape::Mixed }) {
            for (Workload workload : workloads) {
                for (const auto &runner : all) {
                    const std::string name = std::string(workloadName(workload)) + "/"
                        + shapeName(shape) + "/" + size.label + "/" + runner->name();
                    Runner *used = runner.get();
                    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) {
                        runWorkload(state, workload, shape, size, used);
                    })->Unit(benchmark::kMicrosecond);
                }
            }
        }
    }

    // Fixed iterations, so that both runs grow their document alike.
    for (int liveCount : { 1, 10000 }) {
        const std::string docs = "/docs:" + std::to_string(liveCount) + "/zgqx";
        benchmark::RegisterBenchmark(("scaling_build" + docs).c_str(), scalingBuild, liveCount)
            ->Iterations(scalingBuildIterations)
            ->Repetitions(3)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("scaling_walk" + docs).c_str(), scalingWalk, liveCount)
            ->Iterations(20000)
            ->Repetitions(3)
            ->Unit(benchmark::kMillisecond);
    }

    for (int liveCount : { 1, 10001 }) {
        benchmark::RegisterBenchmark(
            ("builder_calls/docs:" + std::to_string(liveCount) + "/zgqx").c_str(), builderCalls,
            liveCount)
            ->Iterations(builderCallsIterations)
            ->Repetitions(3)
            ->Unit(benchmark::kMillisecond);
    }

    benchmark::RegisterBenchmark("file_write/1KB/qfile", fileWrite<QFile>)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("file_write/1KB/qsavefile", fileWrite<QSaveFile>)
        ->Unit(benchmark::kMicrosecond);

    for (int count : { 100, 40000 }) {
        const std::string attrs = "/" + std::to_string(count);
        benchmark::RegisterBenchmark(
            ("attrs_build" + attrs + "/zgqx").c_str(), attributesBuild, count)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("attrs_build" + attrs + "/qtdom").c_str(), attributesBuildQt, count)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("attrs_walk" + attrs + "/zgqx").c_str(), attributesWalk, count)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("attrs_walk" + attrs + "/qtdom").c_str(), attributesWalkQt, count)
            ->Unit(benchmark::kMillisecond);
    }
    registerAttributeOrder();
}

} // namespace

#ifndef ZGQX_BENCH_WITH_LIBXML2
std::unique_ptr<Runner> makeLibxml2Runner()
{
    return nullptr;
}
#endif
#ifndef ZGQX_BENCH_WITH_PUGIXML
std::unique_ptr<Runner> makePugixmlRunner()
{
    return nullptr;
}
#endif

} // namespace zgqxbench

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (zgqxbench::scratchDirectory().empty()) {
        std::fprintf(stderr, "zgqx_bench: cannot create a scratch directory\n");
        return 1;
    }
    zgqxbench::registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    zgqxbench::corpus().clear();
    zgqxbench::runners().clear();
    return zgqxbench::anyFailure ? 1 : 0;
}
