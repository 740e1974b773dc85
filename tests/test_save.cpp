#include "InterfaceTest.h"

#include <QDomElement>
#include <QFile>
#include <QTextStream>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const char declaration[] = "<?xml version='1.0' encoding='UTF-8'?>\n";

QByteArray readFile(const std::string &path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QString unindented(const QDomNode &node)
{
    QString text;
    QTextStream stream(&text);
    node.save(stream, -1);
    return text;
}

void writeFile(const std::string &path, const QByteArray &content)
{
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

class SaveTest : public InterfaceTest
{
protected:
    // A document large enough that writing it takes many blocks.
    int bigDocument()
    {
        const int id = newDocument("big");
        for (int i = 0; i < 2000; ++i) {
            EXPECT_EQ(gen__qtxmlif_add_node("element"), GEN_QTXMLIF_OK);
            EXPECT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
            EXPECT_EQ(gen__qtxmlif_add_text("some text that fills the file"), GEN_QTXMLIF_OK);
            EXPECT_EQ(gen__qtxmlif_close_level(), GEN_QTXMLIF_OK);
        }
        return id;
    }
};

} // namespace

TEST_F(SaveTest, WritesDeclarationAndIndentsByFour)
{
    const int empty = newDocument("xmlRoot");
    const std::string path = tempPath("empty.xml");
    ASSERT_EQ(gen__qtxmlif_save(empty, path.c_str()), GEN_QTXMLIF_OK);
    EXPECT_EQ(readFile(path), QByteArray(declaration) + "<xmlRoot/>\n");

    const int id = newDocument("xmlRoot");
    ASSERT_EQ(gen__qtxmlif_add_node("Personal_Details"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("First_Name", "J\xc3\xbcrgen"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_node("Kids"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_node("kid"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_text("a & b <c>"), GEN_QTXMLIF_OK);
    const int workingBefore = XmlManager::instance().workingDocument();
    gen__qtxmlif_set_working_document(empty);
    ASSERT_EQ(gen__qtxmlif_save(id, path.c_str()), GEN_QTXMLIF_OK);
    EXPECT_EQ(XmlManager::instance().workingDocument(), empty);
    EXPECT_NE(workingBefore, empty);
    EXPECT_TRUE(noRecords());

    const QByteArray saved = readFile(path);
    ASSERT_TRUE(saved.startsWith(declaration));
    EXPECT_TRUE(saved.contains("\n    <Personal_Details First_Name=\"J\xc3\xbcrgen\">\n"));
    EXPECT_TRUE(saved.contains("\n        <Kids>\n            <kid>a &amp; b &lt;c></kid>\n"));

    // What was saved parses back into the same tree.
    QDomDocument back;
    ASSERT_TRUE(back.setContent(saved));
    EXPECT_EQ(unindented(back.documentElement()), unindented(dom(id).documentElement()));
    EXPECT_EQ(back.documentElement().firstChildElement().attribute(QStringLiteral("First_Name")),
        QString::fromUtf8("J\xc3\xbcrgen"));

    // A second save replaces the first.
    ASSERT_EQ(gen__qtxmlif_save(empty, path.c_str()), GEN_QTXMLIF_OK);
    EXPECT_EQ(readFile(path), QByteArray(declaration) + "<xmlRoot/>\n");
}

TEST_F(SaveTest, ADocumentOfManyBlocksIsWrittenWhole)
{
    // Some 120 KB, with text long enough to cross the block boundaries at
    // odd places.
    const int id = bigDocument();
    const std::string path = tempPath("big.xml");
    ASSERT_EQ(gen__qtxmlif_save(id, path.c_str()), GEN_QTXMLIF_OK);
    EXPECT_TRUE(noRecords());

    QString expected;
    {
        QTextStream stream(&expected);
        dom(id).save(stream, 4);
    }
    const QByteArray saved = readFile(path);
    EXPECT_GT(saved.size(), 100000);
    EXPECT_EQ(saved, QByteArray(declaration) + expected.toUtf8());
}

TEST_F(SaveTest, UnknownDocumentLeavesTheFileAlone)
{
    const int id = newDocument();
    const std::string path = tempPath("keep.xml");
    writeFile(path, "previous");
    recorder::clear();
    EXPECT_EQ(gen__qtxmlif_save(id + 1000, path.c_str()), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_TRUE(onlyError("XML document ID " + std::to_string(id + 1000) + " not found"));
    EXPECT_EQ(readFile(path), QByteArray("previous"));
    EXPECT_EQ(gen__qtxmlif_save(id + 1000, tempPath("new.xml").c_str()), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(tempPath("new.xml"))));
}

TEST_F(SaveTest, PathsThatCannotBeOpened)
{
    const int id = newDocument();
    const std::string paths[] = { tempPath("no/such/folder/x.xml"), tempPath(""), "" };
    for (const std::string &path : paths) {
        recorder::clear();
        EXPECT_EQ(gen__qtxmlif_save(id, path.c_str()), GEN_QTXMLIF_ESAVE) << path;
        EXPECT_TRUE(onlyError("Unable to open file for saving : " + path)) << path;
    }
    recorder::clear();
    EXPECT_EQ(gen__qtxmlif_save(id, nullptr), GEN_QTXMLIF_ESAVE);
    EXPECT_TRUE(onlyError("Unable to open file for saving : "));
}

TEST_F(SaveTest, FullDeviceIsReportedAndStaysADevice)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "making a device node needs root";
    const std::string path = tempPath("full");
    ASSERT_EQ(mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
    const int id = bigDocument();
    recorder::clear();
    EXPECT_EQ(gen__qtxmlif_save(id, path.c_str()), GEN_QTXMLIF_ESAVE);
    EXPECT_TRUE(onlyError("error saving XML document: " + path));
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));

    // A small document fails too: the failure shows at flush or close.
    const int small = newDocument("s");
    recorder::clear();
    EXPECT_EQ(gen__qtxmlif_save(small, path.c_str()), GEN_QTXMLIF_ESAVE);
    EXPECT_TRUE(onlyError("error saving XML document: " + path));
}

TEST_F(SaveTest, FileSizeLimitKeepsThePreviousFile)
{
    const std::string path = tempPath("limited.xml");
    writeFile(path, "previous content");
    const int id = bigDocument();

    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    recorder::clear();
    const int status = gen__qtxmlif_save(id, path.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(status, GEN_QTXMLIF_ESAVE);
    EXPECT_TRUE(onlyError("error saving XML document: " + path));
    EXPECT_EQ(readFile(path), QByteArray("previous content"));
    // Without the limit the same save succeeds.
    EXPECT_EQ(gen__qtxmlif_save(id, path.c_str()), GEN_QTXMLIF_OK);
    EXPECT_GT(readFile(path).size(), 8192);
}

TEST_F(SaveTest, SavingDuringAWalkLeavesTheWalkWhereItWas)
{
    const int id = newDocument("r");
    ASSERT_EQ(gen__qtxmlif_add_node("a"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_node("b"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "a", nullptr), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_save(id, tempPath("walk.xml").c_str()), GEN_QTXMLIF_OK);
    int type = 0;
    char *name = nullptr;
    char *value = nullptr;
    int depth = 0;
    bool end = false;
    ASSERT_EQ(gen__qtxmlif_get_next_entity(id, &type, &name, &value, &depth, &end), GEN_QTXMLIF_OK);
    EXPECT_EQ(recorder::take(name), "a");
    recorder::take(value);
    EXPECT_TRUE(end);
    ASSERT_EQ(gen__qtxmlif_get_next_entity(id, &type, &name, &value, &depth, &end), GEN_QTXMLIF_OK);
    EXPECT_EQ(recorder::take(name), "b");
    recorder::take(value);
    EXPECT_FALSE(end);
}
