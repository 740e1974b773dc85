// SPDX-License-Identifier: MIT
// Saving: the bytes written, and what a failed save leaves behind.
#include "Api.h"

#include <csignal>
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
