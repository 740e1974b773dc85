// SPDX-License-Identifier: MIT
// Saving: the bytes written, what a failed or killed save leaves behind, and
// documents no XML reader could load back.
#include "Api.h"

#include <QFile>

#include <chrono>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kDeclaration = "<?xml version='1.0' encoding='UTF-8'?>\n";

// Some 120 KB: writing it takes several blocks.
int bigDocument(std::string *expected)
{
    int id = -1;
    EXPECT_EQ(gen__qtxmlif_add_document(&id, "big"), 0);
    *expected = kDeclaration + "<big>\n";
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(gen__qtxmlif_open_node("element")
                + gen__qtxmlif_add_text("text that fills a file") + gen__qtxmlif_close_level(),
            0);
        *expected += "    <element>text that fills a file</element>\n";
    }
    *expected += "</big>\n";
    return id;
}

bool isDevice(const char *file)
{
    struct stat info;
    return stat(file, &info) == 0 && S_ISCHR(info.st_mode);
}

TEST_F(Api, SaveWritesTheDeclarationAndIndentsByFour)
{
    const int id = doc("r");
    ASSERT_EQ(gen__qtxmlif_open_node("a") + gen__qtxmlif_add_attr("k", "J\xc3\xbcrgen"), 0);
    ASSERT_EQ(gen__qtxmlif_open_node("b") + gen__qtxmlif_add_text("a & b <c>"), 0);
    const std::string file = path("s.xml");
    writeFile(file, QByteArray(200, 'x'));
    ASSERT_EQ(gen__qtxmlif_save(id, file.c_str()), 0);
    EXPECT_EQ(readFile(file),
        kDeclaration
            + "<r>\n    <a k=\"J\xc3\xbcrgen\">\n        <b>a &amp; b &lt;c></b>\n    "
              "</a>\n</r>\n");
    std::string expected;
    const int big = bigDocument(&expected);
    ASSERT_EQ(gen__qtxmlif_save(big, file.c_str()), 0);
    EXPECT_EQ(readFile(file), expected);
    EXPECT_EQ(gen__qtxmlif_save(big, "/dev/null"), 0);
    EXPECT_TRUE(isDevice("/dev/null"));
    EXPECT_EQ(takeRecords(), Records {});
}

TEST_F(Api, AFailedSaveKeepsThePreviousFile)
{
    std::string expected;
    const int id = bigDocument(&expected);
    const std::string file = path("keep.xml"), folder = path("none/f.xml");
    writeFile(file, "previous");
    EXPECT_EQ(gen__qtxmlif_save(id + 1, file.c_str()), 14606);
    EXPECT_EQ(gen__qtxmlif_save(id + 1, path("new.xml").c_str()), 14606);
    EXPECT_EQ(readFile(path("new.xml")), "(unreadable)");
    EXPECT_EQ(gen__qtxmlif_save(id, folder.c_str()), 14607);
    EXPECT_EQ(gen__qtxmlif_save(id, ""), 14607);
    const std::string notFound = "E:XML document ID " + std::to_string(id + 1) + " not found";
    EXPECT_EQ(takeRecords(),
        (Records { notFound, notFound, "E:Unable to open file for saving : " + folder,
            "E:Unable to open file for saving : " }));

    // A write that fails part-way, at the file size limit.
    rlimit saved, limited;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    limited = saved;
    limited.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    EXPECT_EQ(gen__qtxmlif_save(id, file.c_str()), 14607);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(readFile(file), "previous");
    Records records { "E:error saving XML document: " + file };
    if (isDevice("/dev/full")) {
        EXPECT_EQ(gen__qtxmlif_save(id, "/dev/full"), 14607);
        EXPECT_TRUE(isDevice("/dev/full"));
        records.push_back("E:error saving XML document: /dev/full");
    }
    EXPECT_EQ(takeRecords(), records);
}

// Where no temporary file can be made beside it, a writable file is written
// directly. Saved by an unprivileged user in a child process: root may write
// anywhere.
TEST_F(Api, ASaveWhereNoTemporaryFileCanBeMadeWritesDirectly)
{
    const int id = doc("r");
    const std::string folder = path("locked"), file = folder + "/f.xml";
    ASSERT_EQ(chmod(path("").c_str(), 0755) + mkdir(folder.c_str(), 0755), 0);
    writeFile(file, "previous");
    ASSERT_EQ(chmod(file.c_str(), 0666) + chmod(folder.c_str(), 0555), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(99);
        _exit(gen__qtxmlif_save(id, file.c_str()));
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(file), kDeclaration + "<r/>\n");
}

} // namespace

using SaveTest = Api;

TEST_F(SaveTest, SaveRefusesWhatNoReaderCouldLoad)
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
        { "\xc3\x97y", [] {}, name + "\xc3\x97y" }, // U+00D7 is in no name
        { "a", [] { gen__qtxmlif_add_attr("k\xe2\x81\x80", "v"); }, // Qt refuses U+2040
            name + "k\xe2\x81\x80" },
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

TEST_F(SaveTest, AKilledSaveLeavesTheOldOrTheNewFileWhole)
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
