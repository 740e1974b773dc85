#ifndef ZGQX_READINGSUPPORT_H
#define ZGQX_READINGSUPPORT_H

// Helpers of the reading tests (walk, queries, load, self-test): entities as
// values, whole walks with the attributes of each element put in a fixed
// order (Qt's attribute map order changes from process to process), and
// small file helpers.

#include "InterfaceTest.h"
#include "gen_qtxmlif_internal.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace reading {

// One call of gen__qtxmlif_get_next_entity: its status and what it reported.
struct Entity
{
    int status = 0;
    int type = XML_ETYPE_NONE;
    std::string name;
    std::string value;
    int depth = -1;
    bool end = false;

    bool operator==(const Entity &other) const
    {
        return std::tie(status, type, name, value, depth, end)
            == std::tie(other.status, other.type, other.name, other.value, other.depth, other.end);
    }
    bool operator<(const Entity &other) const
    {
        return std::tie(type, name, value, depth, end, status)
            < std::tie(other.type, other.name, other.value, other.depth, other.end, other.status);
    }
};

inline void PrintTo(const Entity &e, std::ostream *out)
{
    *out << "{" << e.status << ", " << e.type << ", \"" << e.name << "\", \"" << e.value << "\", "
         << e.depth << ", " << e.end << "}";
}

inline Entity start(const std::string &name, int depth, int status = GEN_QTXMLIF_OK)
{
    return Entity { status, XML_ETYPE_NODE, name, "", depth, false };
}
inline Entity finish(const std::string &name, int depth, int status = GEN_QTXMLIF_OK)
{
    return Entity { status, XML_ETYPE_NODE, name, "", depth, true };
}
inline Entity attr(const std::string &name, const std::string &value, int depth)
{
    return Entity { GEN_QTXMLIF_OK, XML_ETYPE_ATTR, name, value, depth, false };
}
inline Entity text(const std::string &content, int depth)
{
    return Entity { GEN_QTXMLIF_OK, XML_ETYPE_TEXT, content, "", depth, false };
}
inline Entity none()
{
    return Entity { GEN_QTXMLIF_END, XML_ETYPE_NONE, "", "", -1, false };
}

// One step of the walk. Both strings must be live copies, which are released
// here; a found document hands out exactly two copies per call.
inline Entity next(int docId)
{
    Entity e;
    char *name = reinterpret_cast<char *>(1);
    char *value = reinterpret_cast<char *>(1);
    e.type = 12345;
    e.depth = 12345;
    e.end = true;
    const std::size_t before = recorder::copiesMade();
    e.status = gen__qtxmlif_get_next_entity(docId, &e.type, &name, &value, &e.depth, &e.end);
    if (e.status == GEN_QTXMLIF_ENOTFOUND) {
        EXPECT_EQ(name, nullptr);
        EXPECT_EQ(value, nullptr);
        EXPECT_EQ(recorder::copiesMade(), before);
        return e;
    }
    EXPECT_EQ(recorder::copiesMade(), before + 2) << "two copies per call";
    EXPECT_TRUE(recorder::isLiveCopy(name));
    EXPECT_TRUE(recorder::isLiveCopy(value));
    e.name = recorder::take(name);
    e.value = recorder::take(value);
    return e;
}

// Calls next until it returns something other than 0; the last entity is the
// one that came with that status.
inline std::vector<Entity> rest(int docId, std::size_t limit = 100000)
{
    std::vector<Entity> entities;
    do {
        entities.push_back(next(docId));
    } while (entities.back().status == GEN_QTXMLIF_OK && entities.size() < limit);
    return entities;
}

// Puts each run of attributes in a fixed order.
inline std::vector<Entity> sortedAttributes(std::vector<Entity> entities)
{
    auto it = entities.begin();
    while (it != entities.end()) {
        if (it->type != XML_ETYPE_ATTR) {
            ++it;
            continue;
        }
        auto runEnd = std::find_if(
            it, entities.end(), [](const Entity &e) { return e.type != XML_ETYPE_ATTR; });
        std::sort(it, runEnd);
        it = runEnd;
    }
    return entities;
}

// Begins a walk from the root and returns every entity up to the end of the
// root, attributes sorted.
inline std::vector<Entity> walk(int docId)
{
    EXPECT_EQ(gen__qtxmlif_begin_traversion(docId, nullptr, nullptr), GEN_QTXMLIF_OK);
    std::vector<Entity> entities = sortedAttributes(rest(docId));
    EXPECT_EQ(gen__qtxmlif_end_traversion(docId), GEN_QTXMLIF_OK);
    return entities;
}

inline void writeFile(const std::string &path, const QByteArray &content)
{
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path;
    ASSERT_EQ(file.write(content), content.size());
}

inline QByteArray readFile(const std::string &path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The records written so far, as "category|message-or-condition" lines.
inline std::vector<std::string> recordSummary()
{
    std::vector<std::string> lines;
    for (const recorder::Record &record : recorder::records())
        lines.push_back(record.category + "|"
            + (record.category == "INTERNAL" ? record.condition : recorder::errorMessage(record)));
    return lines;
}

} // namespace reading

#endif // ZGQX_READINGSUPPORT_H
