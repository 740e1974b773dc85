// SPDX-License-Identifier: MIT
// Benchmarks of DomTreeModel as a view uses it: every row of the model is
// visited with rowCount, index, data (both columns) and parent, depth first.
//
// Names are model_walk/<shape>/<size>/<cold|warm>. "flat" puts all records
// under the document element, "grouped" puts them 100 to a <group>; sizes are
// record counts, and 5MB is the document scripts/make-flat-xml.py writes for
// domview. "cold" builds a fresh model per walk (items are made on the way),
// "warm" walks a model whose items already exist. per_row is the time per
// visited row; it should not grow with the number of siblings.
#include "DomTreeModel.h"

#include <QtXml/QDomDocument>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

// A failed check makes the program exit non-zero, so that a run that measured
// nothing is not taken for a result.
bool anyFailure = false;

// One record gives ten rows: the element, four children with a text node
// each, and a comment. Keep in step with scripts/make-flat-xml.py.
void appendRecord(QString &xml, int id)
{
    xml += QStringLiteral("  <person id=\"%1\" city=\"Graz\">\n"
                          "    <!-- record %1 -->\n"
                          "    <name>Person %1</name>\n"
                          "    <phone kind=\"mobile\">+43 660 %1</phone>\n"
                          "    <email>person%1@example.org</email>\n"
                          "    <note>Prefers phone calls.</note>\n"
                          "  </person>\n")
               .arg(id);
}

QDomDocument makeDocument(int records, int perGroup)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\"?>\n<people>\n");
    for (int id = 0; id < records; ++id) {
        if (perGroup && id % perGroup == 0)
            xml += QLatin1String("<group>\n");
        appendRecord(xml, id);
        if (perGroup && (id % perGroup == perGroup - 1 || id == records - 1))
            xml += QLatin1String("</group>\n");
    }
    xml += QLatin1String("</people>\n");
    QDomDocument document;
    if (!document.setContent(xml))
        std::fprintf(stderr, "bench_model: generated document does not parse\n");
    return document;
}

// Visits every row below `parent`; returns the number of rows, or -1 when the
// model contradicts itself.
long walk(const QAbstractItemModel &model, const QModelIndex &parent)
{
    long rows = 0;
    const int count = model.rowCount(parent);
    for (int row = 0; row < count; ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        benchmark::DoNotOptimize(model.data(index));
        benchmark::DoNotOptimize(model.data(index.siblingAtColumn(1)));
        if (model.parent(index) != parent)
            return -1;
        const long below = walk(model, index);
        if (below < 0)
            return -1;
        rows += 1 + below;
    }
    return rows;
}

void reportRows(benchmark::State &state, long rows)
{
    state.counters["rows"] = double(rows);
    state.counters["per_row"] = benchmark::Counter(
        double(rows), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void walkModel(benchmark::State &state, int records, int perGroup, bool cold)
{
    QDomDocument document = makeDocument(records, perGroup);
    // Every record is ten rows, plus the document element, the group rows and
    // the XML declaration where a model shows them.
    const long least = 10L * records;
    auto model = std::make_unique<DomTreeModel>(document);
    long rows = cold ? 0 : walk(*model, QModelIndex());
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            model = std::make_unique<DomTreeModel>(document);
            state.ResumeTiming();
        }
        rows = walk(*model, QModelIndex());
        if (rows < least) {
            anyFailure = true;
            state.SkipWithError("the walk missed rows or found the model inconsistent");
            return;
        }
    }
    reportRows(state, rows);
}

} // namespace

int main(int argc, char **argv)
{
    struct Case
    {
        const char *size;
        int records;
    };
    // 23,037 records make the 5 MB file.
    const Case cases[]
        = { { "1000", 1000 }, { "10000", 10000 }, { "100000", 100000 }, { "5MB", 23037 } };
    for (const Case &c : cases) {
        for (const char *shape : { "flat", "grouped" }) {
            const int perGroup = shape[0] == 'g' ? 100 : 0;
            for (const bool cold : { true, false }) {
                const std::string name = std::string("model_walk/") + shape + "/" + c.size + "/"
                    + (cold ? "cold" : "warm");
                benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) {
                    walkModel(state, c.records, perGroup, cold);
                })->Unit(benchmark::kMillisecond);
            }
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return anyFailure ? 1 : 0;
}
