// SPDX-License-Identifier: MIT
// Loads from devices that never end, saves of what XML cannot store, and
// saves killed part-way.
#include "InterfaceTest.h"

#include <QFile>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using LoadSaveFaultsTest = InterfaceTest;

QByteArray readFile(const std::string &path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

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
    const std::string garbage = tempPath("garbage.fifo");
    const std::string document = tempPath("document.fifo");
    const struct
    {
        std::string path;
        pid_t writer;
        int status;
        std::string record;
    } cases[] = {
        { "/dev/zero", 0, GEN_QTXMLIF_ESYNTAX,
            "XML document syntax error in file: /dev/zero\nError found in line 1, column 1.\n" },
        { garbage, feed(garbage, "garbage <a>\n", true), GEN_QTXMLIF_ESYNTAX,
            "XML document syntax error in file: " + garbage
                + "\nError found in line 1, column 1.\n" },
        { document, feed(document, "<a k='v'>text</a>", false), GEN_QTXMLIF_OK, "" },
        { "/proc/self/mem", 0, GEN_QTXMLIF_EOPEN, "Unable to read document: /proc/self/mem" },
    };
    for (const auto &c : cases) {
        int id = 0;
        EXPECT_EQ(gen__qtxmlif_load(c.path.c_str(), &id), c.status) << c.path;
        EXPECT_TRUE(c.record.empty() ? noRecords() : onlyError(c.record)) << c.path;
        if (c.status == GEN_QTXMLIF_OK)
            adopt(id);
        EXPECT_EQ(id == -1, c.status != GEN_QTXMLIF_OK);
        if (c.writer > 0) {
            EXPECT_EQ(::waitpid(c.writer, nullptr, 0), c.writer);
        }
        recorder::clear();
    }
}
