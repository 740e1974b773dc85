// SPDX-License-Identifier: MIT
// Loads from endless devices, saves of what XML cannot store, killed saves.
#include "Api.h"

#include <QFile>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using LoadSaveFaultsTest = Api;

// A FIFO whose writer, a child process, sends data once, or again and again
// until the reader goes.
pid_t feed(const std::string &path, const QByteArray &data, bool endless)
{
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(10);
        const int fd = ::open(path.c_str(), O_WRONLY);
        while (::write(fd, data.constData(), data.size()) == data.size() && endless) { }
        ::_exit(0);
    }
    return pid;
}

} // namespace

TEST_F(LoadSaveFaultsTest, DevicesAreReadOnlyAsFarAsTheyCanBeXml)
{
    const auto load = [](const std::string &path, pid_t writer, int status,
                          const std::string &record) {
        int id = 0;
        EXPECT_EQ(gen__qtxmlif_load(path.c_str(), &id), status) << path;
        EXPECT_EQ(takeRecords(), record.empty() ? Records {} : Records { "E:" + record }) << path;
        EXPECT_EQ(id == -1, status != GEN_QTXMLIF_OK);
        EXPECT_TRUE(writer == 0 || ::waitpid(writer, nullptr, 0) == writer);
    };
    const auto syntax = [](const std::string &path) {
        return "XML document syntax error in file: " + path
            + "\nError found in line 1, column 1.\n";
    };
    const std::string garbage = path("garbage.fifo");
    const std::string document = path("document.fifo");
    load("/dev/zero", 0, GEN_QTXMLIF_ESYNTAX, syntax("/dev/zero"));
    load(garbage, feed(garbage, "garbage <a>\n", true), GEN_QTXMLIF_ESYNTAX, syntax(garbage));
    load(document, feed(document, "<a k='v'>text</a>", false), GEN_QTXMLIF_OK, "");
    load("/proc/self/mem", 0, GEN_QTXMLIF_EOPEN, "Unable to read document: /proc/self/mem");
}

TEST_F(LoadSaveFaultsTest, SaveRefusesWhatNoReaderCouldLoad)
{
    const std::string name = "a name XML cannot store: ";
    const std::string prefix = "a name whose prefix is not declared: ";
    const std::string character = "a character XML cannot store: U+";
    const struct
    {
        const char *root;
        void (*build)();
        std::string record; // after "XML document ID <id> holds "; empty: saves and loads
    } cases[] = {
        { "a b", [] {}, name + "a b" },
        { "1bad", [] {}, name + "1bad" },
        { "a:b:c", [] {}, name + "a:b:c" },
        { "a",
            [] {
                for (auto n : { "x y", "1a", "2b" })
                    gen__qtxmlif_add_attr(n, "v");
            },
            name + "x y" }, // the first added of its element's
        { "a", [] { gen__qtxmlif_add_node(":b"); }, name + ":b" },
        { "a", [] { gen__qtxmlif_add_attr("xmlns:p", ""); }, name + "xmlns:p" },
        { "x:y", [] {}, prefix + "x:y" },
        { "a", [] { gen__qtxmlif_add_attr("p:k", "v"); }, prefix + "p:k" },
        { "a", [] { gen__qtxmlif_add_text("bad\x01"); },
            character + "0001 at character 4 of a text in element <a>" },
        { "a", [] { gen__qtxmlif_add_attr("k", "v\x0b"); },
            character + "000B at character 2 of the value of attribute k of element <a>" },
        { "a", [] { gen__qtxmlif_add_text("\xf0\x9f\x98\x80\xef\xbf\xbe"); },
            character + "FFFE at character 2 of a text in element <a>" },
        { "x:a",
            [] {
                gen__qtxmlif_add_attr("xmlns:x", "urn:x");
                gen__qtxmlif_add_attr("xml:lang", "en");
                gen__qtxmlif_add_node("x:b\xc3\xa9._-1");
                gen__qtxmlif_open_level();
                gen__qtxmlif_add_text("\t\r\n\xf0\x9f\x98\x80 \xef\xbf\xbd");
            },
            "" },
    };
    const std::string path = Api::path("kept.xml");
    for (const auto &c : cases) {
        QFile old(QString::fromStdString(path));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate) && old.write("old") == 3);
        old.close();
        const int id = doc(c.root);
        c.build();
        takeRecords();
        if (c.record.empty()) {
            EXPECT_EQ(gen__qtxmlif_save(id, path.c_str()), GEN_QTXMLIF_OK);
            int back = 0;
            EXPECT_EQ(gen__qtxmlif_load(path.c_str(), &back), GEN_QTXMLIF_OK) << readFile(path);
            continue;
        }
        EXPECT_EQ(gen__qtxmlif_save(id, path.c_str()), GEN_QTXMLIF_ESAVE) << c.record;
        EXPECT_EQ(takeRecords(),
            Records { "E:XML document ID " + std::to_string(id) + " holds " + c.record });
        EXPECT_EQ(readFile(path), "old") << c.record;
    }
}

TEST_F(LoadSaveFaultsTest, AKilledSaveLeavesTheOldOrTheNewFileWhole)
{
    const std::string path = Api::path("killed.xml");
    int ids[2];
    std::string versions[2];
    for (int v = 0; v < 2; ++v) {
        ids[v] = doc("big");
        for (int i = 0; i < 5000; ++i)
            gen__qtxmlif_add_node("element"), gen__qtxmlif_add_attr("v", v ? "second" : "first");
        ASSERT_EQ(gen__qtxmlif_save(ids[v], path.c_str()), GEN_QTXMLIF_OK);
        versions[v] = readFile(path);
    }
    ASSERT_NE(versions[0], versions[1]);
    std::mt19937 random(11);
    std::uniform_int_distribution<int> delay(0, 8000);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (int kills = 0; kills < 300 && std::chrono::steady_clock::now() < deadline; ++kills) {
        const pid_t saver = ::fork();
        for (int v = 0; saver == 0; v ^= 1)
            gen__qtxmlif_save(ids[v], path.c_str());
        ::usleep(delay(random));
        ::kill(saver, SIGKILL);
        ASSERT_EQ(::waitpid(saver, nullptr, 0), saver);
        const std::string now = readFile(path);
        ASSERT_TRUE(now == versions[0] || now == versions[1])
            << "after " << kills << " kills: " << now.size() << " bytes";
    }
}
