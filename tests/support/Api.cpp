// SPDX-License-Identifier: MIT
#include "Api.h"

#include "gen_lowlevel.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <regex>
#include <unordered_set>

namespace {
Records g_records;
std::unordered_set<const void *> g_copies;
std::size_t g_copiesBefore = 0;
std::unique_ptr<QTemporaryDir> g_dir;
int g_first = 0; // first document ID of the running test
int g_failNewIn = -1, g_failCopyIn = -1;
bool g_failed = false, g_recording = false;

// The recording functions stand for the low-level library: their allocations never fail.
struct Recording
{
    Recording() { g_recording = true; }
    ~Recording() { g_recording = false; }
};

bool failNow(int *countdown)
{
    if (g_recording || *countdown < 0 || (*countdown)-- > 0)
        return false;
    return g_failed = true;
}
} // namespace

void *operator new(std::size_t size)
{
    void *memory = failNow(&g_failNewIn) ? nullptr : std::malloc(size ? size : 1);
    return memory ? memory : throw std::bad_alloc();
}
void operator delete(void *memory) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}

extern "C" int gen__log_write(const char *category, const char *format, ...)
{
    const Recording recording;
    va_list args;
    va_start(args, format);
    char text[4096];
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    static const std::regex error("@\\$@#gen/gen_qtxmlif@\\$@#GENERAL@\\$@#[0-9]+@\\$@#([^]*)");
    std::cmatch match;
    if (std::strcmp(category, "INTERNAL") == 0 && std::strcmp(format, "(%s) at %s %d\n") == 0) {
        va_start(args, format);
        const std::string condition = va_arg(args, const char *), file = va_arg(args, const char *);
        const int line = va_arg(args, int);
        va_end(args);
        g_records.push_back(file == "gen/gen_qtxmlif" && line > 0 ? "A:" + condition : "BAD:");
    } else {
        const bool ok = std::strcmp(category, "ERROR") == 0 && !std::strstr(format, "%d@$@#")
            && std::regex_match(text, match, error);
        g_records.push_back(ok ? "E:" + match[1].str() : "BAD:" + std::string(text));
    }
    return 0;
}
extern "C" int gen__err_sound(void)
{
    const Recording recording;
    g_records.push_back("!");
    return 0;
}
extern "C" char *gen__str_dup_fn(const char *text, const char *, int)
{
    if (failNow(&g_failCopyIn))
        throw std::bad_alloc();
    const Recording recording;
    return static_cast<char *>(const_cast<void *>(*g_copies.insert(strdup(text)).first));
}
extern "C" void gen__mem_free(void *ptr, int flag, const char *, int)
{
    if (ptr && (flag != 1 || g_copies.erase(ptr) == 0))
        std::abort(); // not a live copy
    std::free(ptr);
}
extern "C" void status_check(const char *file, int line)
{
    const Recording recording;
    g_records.push_back(std::string(file) == "gen/gen_qtxmlif" && line > 0 ? "S" : "BAD:S");
}

Records takeRecords()
{
    return std::exchange(g_records, {});
}
std::string take(char *copy)
{
    std::string text = copy ? copy : "(null)";
    gen__mem_free(copy, 1, __FILE__, __LINE__);
    return text;
}
bool failAllocation(int n)
{
    g_failNewIn = 0;
    try {
        ::operator delete(::operator new(1)); // valgrind's operator new takes the place of ours
        g_failNewIn = -1;
        return false;
    } catch (const std::bad_alloc &) {
        g_failNewIn = n;
        g_failed = false;
        return true;
    }
}
void failCopy(int n)
{
    g_failCopyIn = n;
    g_failed = false;
}
bool failed()
{
    return g_failed;
}
std::string readFile(const std::string &path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(unreadable)";
}
void writeFile(const std::string &path, const QByteArray &bytes)
{
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

void Api::SetUp()
{
    g_first = doc() + 1; // IDs are never reused: the test's documents follow
    gen__qtxmlif_del_document(g_first - 1);
    takeRecords();
    g_copiesBefore = g_copies.size();
    g_dir = std::make_unique<QTemporaryDir>();
}

void Api::TearDown()
{
    for (int id = g_first, last = doc(); id <= last; ++id)
        gen__qtxmlif_del_document(id);
    takeRecords();
    EXPECT_EQ(g_copies.size(), g_copiesBefore) << "copies not released";
}

int Api::doc(const char *root)
{
    int id = -1;
    EXPECT_EQ(gen__qtxmlif_add_document(&id, root), GEN_QTXMLIF_OK);
    return id;
}

int Api::load(const QByteArray &xml, int *status)
{
    writeFile(path("load.xml"), xml);
    int id = -1, result = gen__qtxmlif_load(path("load.xml").c_str(), &id);
    EXPECT_TRUE(status || result == GEN_QTXMLIF_OK) << xml.left(200).constData();
    return status ? (*status = result, id) : id;
}

std::string Api::path(const std::string &name)
{
    return g_dir->path().toStdString() + "/" + name;
}

std::string Api::text(int id)
{
    QString out;
    return gen__qtxmlif_doc_to_string(id, &out) == GEN_QTXMLIF_OK ? out.toStdString() : "(none)";
}

std::string Api::flat(int id)
{
    return std::regex_replace(text(id), std::regex("\n *"), "");
}

std::string Api::next(int id)
{
    int type = 0, depth = 0;
    char *name = nullptr, *value = nullptr;
    bool end = false;
    const int status = gen__qtxmlif_get_next_entity(id, &type, &name, &value, &depth, &end);
    const std::string n = take(name), v = take(value), d = ":" + std::to_string(depth);
    const std::string entity = type == XML_ETYPE_NODE             ? (end ? "</" : "<") + n + d
        : type == XML_ETYPE_ATTR                                  ? "@" + n + "=" + v + d
        : type == XML_ETYPE_TEXT                                  ? "\"" + n + "\"" + d
        : type == XML_ETYPE_NONE && n == v && depth == -1 && !end ? (n.empty() ? "-" : "-" + n)
                                                                  : "?" + std::to_string(type);
    return status == GEN_QTXMLIF_OK ? entity
        : status == GEN_QTXMLIF_END ? entity + " END"
                                    : entity + " status " + std::to_string(status);
}

std::string Api::walk(int id, const char *start)
{
    EXPECT_EQ(gen__qtxmlif_begin_traversion(id, start, nullptr), GEN_QTXMLIF_OK);
    static const std::regex last(" (END|status [0-9]+)$");
    std::string all;
    for (std::string entity; all.size() < 1000000 && !std::regex_search(entity, last);)
        all += (all.empty() ? "" : " ") + (entity = next(id));
    EXPECT_EQ(next(id), "- END") << "after the end";
    EXPECT_EQ(gen__qtxmlif_end_traversion(id), GEN_QTXMLIF_OK);
    return all;
}

std::string Api::working()
{
    const int status = gen__qtxmlif_add_node("zzw");
    std::smatch root;
    for (int id = g_first; status == GEN_QTXMLIF_OK && id < g_first + 100; ++id) {
        const std::string xml = text(id);
        if (xml.find("<zzw/>") != std::string::npos
            && std::regex_search(xml, root, std::regex("<([A-Za-z_][^ />]*)")))
            return root[1].str();
    }
    return status == GEN_QTXMLIF_ENODOC ? "-" : status == GEN_QTXMLIF_EINVAL ? "w" : "?";
}
