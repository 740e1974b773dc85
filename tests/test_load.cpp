// Loading a file, its failures, and the load-save-load round trip
// (a saved file holds one declaration and is UTF-8).
#include "ReadingSupport.h"

#include <QDir>
#include <QDomDocument>
#include <QDomElement>
#include <QStringDecoder>

#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace reading;

namespace {

const QByteArray fixedDeclaration("<?xml version='1.0' encoding='UTF-8'?>\n");
const char emptyPathCheck[] = "!((file_path) ? (file_path)[0]=='\\0' : true)";

class LoadTest : public InterfaceTest
{
protected:
    // Loads a file expected to fail; returns the status, checks -1 behind doc.
    static int loadFails(const std::string &path)
    {
        int id = 77;
        const int status = gen__qtxmlif_load(path.c_str(), &id);
        EXPECT_EQ(id, -1);
        return status;
    }

    // The ID the next document gets, without making one that lasts.
    int peekNextId()
    {
        int id = -1;
        EXPECT_EQ(gen__qtxmlif_add_document(&id, nullptr), GEN_QTXMLIF_OK);
        EXPECT_EQ(gen__qtxmlif_del_document(id), GEN_QTXMLIF_OK);
        return id;
    }

    static bool isUtf8(const QByteArray &bytes)
    {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(bytes);
        return !decoder.hasError();
    }

    // What a save must write for a loaded document: the fixed line, then what
    // the document's own save writes for every node but its declaration.
    static QByteArray expectedSave(int id)
    {
        QString own = dom(id).toString(4);
        if (dom(id).firstChild().isProcessingInstruction()
            && dom(id).firstChild().nodeName() == QStringLiteral("xml"))
            own = own.mid(own.indexOf(u'\n') + 1);
        return fixedDeclaration + own.toUtf8();
    }

    // Loads bytes, saves the document, checks the saved bytes, loads them back
    // and checks that both documents walk alike. Returns the first walk.
    std::vector<Entity> roundTrip(const QByteArray &bytes)
    {
        const int first = loadText(bytes);
        const std::string path = tempPath("round" + std::to_string(first) + ".xml");
        EXPECT_EQ(gen__qtxmlif_save(first, path.c_str()), GEN_QTXMLIF_OK);
        const QByteArray saved = readFile(path);
        EXPECT_TRUE(saved.startsWith(fixedDeclaration)) << saved.constData();
        EXPECT_EQ(saved.count("<?xml"), 1) << saved.constData();
        EXPECT_TRUE(isUtf8(saved)) << saved.toHex().constData();
        EXPECT_EQ(saved, expectedSave(first));

        int second = -1;
        EXPECT_EQ(gen__qtxmlif_load(path.c_str(), &second), GEN_QTXMLIF_OK) << saved.constData();
        adopt(second);
        const std::vector<Entity> entities = walk(first);
        EXPECT_EQ(walk(second), entities);
        // Saving the reloaded document writes the same bytes again.
        const std::string again = tempPath("again" + std::to_string(second) + ".xml");
        EXPECT_EQ(gen__qtxmlif_save(second, again.c_str()), GEN_QTXMLIF_OK);
        EXPECT_EQ(readFile(again), saved);
        EXPECT_TRUE(noRecords());
        return entities;
    }

    // The walk of the non-ASCII sample, whatever its file's encoding.
    static std::vector<Entity> sampleWalk()
    {
        return { start("a", 0), attr("x", "\xc3\xa4\xc3\xb6 \xc3\xa9", 0),
            text("gr\xc3\xbc\xc3\x9f", 0), start("b", 1), attr("y", "\xc3\xb1", 1),
            text("\xc3\x85ngstr\xc3\xb6m", 1), finish("b", 1), finish("a", 0, GEN_QTXMLIF_END) };
    }

    // The sample's elements, in UTF-8.
    static QByteArray sampleBody()
    {
        return "<!-- lead -->\n<a x=\"\xc3\xa4\xc3\xb6 \xc3\xa9\">gr\xc3\xbc\xc3\x9f"
               "<b y='\xc3\xb1'>\xc3\x85ngstr\xc3\xb6m</b></a>\n";
    }
};

} // namespace

TEST_F(LoadTest, NullAndEmptyPaths)
{
    for (const char *path :
        { static_cast<const char *>(nullptr), "", reinterpret_cast<const char *>(1000) }) {
        const int working = newDocument();
        const int next = XmlManager::instance().documentCount();
        int id = 77;
        EXPECT_EQ(gen__qtxmlif_load(path, &id), GEN_QTXMLIF_ENODOC);
        EXPECT_EQ(id, 77);
        EXPECT_TRUE(onlyAssertion(emptyPathCheck));
        EXPECT_EQ(XmlManager::instance().workingDocument(), working);
        EXPECT_EQ(XmlManager::instance().documentCount(), next);
        recorder::clear();
    }
}

TEST_F(LoadTest, AMissingFile)
{
    const int working = newDocument();
    const int nextId = working + 1;
    const std::string path = tempPath("missing.xml");
    EXPECT_EQ(loadFails(path), GEN_QTXMLIF_ENODOC);
    EXPECT_TRUE(onlyError("Unable to find document: " + path));
    EXPECT_EQ(XmlManager::instance().workingDocument(), working);
    EXPECT_EQ(peekNextId(), nextId); // no ID used up
}

TEST_F(LoadTest, AFileThatCannotBeOpened)
{
    // Tests may run as root, for whom file modes do not stop reading: use
    // things that exist but cannot be opened as files.
    const std::string directory = tempPath("folder.xml");
    ASSERT_EQ(QDir().mkpath(QString::fromStdString(directory)), true);

    const std::string socketPath = tempPath("socket.xml");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);

    for (const std::string &path : { directory, socketPath }) {
        const int working = newDocument();
        EXPECT_EQ(loadFails(path), GEN_QTXMLIF_EOPEN) << path;
        EXPECT_TRUE(onlyError("Unable to open document: " + path));
        EXPECT_EQ(XmlManager::instance().workingDocument(), working);
        EXPECT_EQ(peekNextId(), working + 1);
        recorder::clear();
    }
    ::close(fd);
}

TEST_F(LoadTest, FilesThatAreNoXml)
{
    const std::vector<QByteArray> contents
        = { "", "no xml at all", "<a>\n  <b>\n</a>", "<a><b></a>", "<a/><b/>", "<!-- only -->" };
    for (const QByteArray &content : contents) {
        const std::string path = tempPath("bad.xml");
        writeFile(path, content);
        const int working = newDocument();
        const int count = XmlManager::instance().documentCount();
        EXPECT_EQ(loadFails(path), GEN_QTXMLIF_ESYNTAX) << content.constData();
        // The document made for the file is gone again, and its ID used up.
        EXPECT_EQ(XmlManager::instance().documentCount(), count);
        EXPECT_FALSE(gen__qtxmlif_document_exist(working + 1));
        EXPECT_EQ(XmlManager::instance().workingDocument(), -1);
        EXPECT_EQ(peekNextId(), working + 2);

        // The record names the parser's error position.
        int line = 0;
        int column = 0;
        QDomDocument().setContent(content, true, nullptr, &line, &column);
        EXPECT_TRUE(
            onlyError("XML document syntax error in file: " + path + "\nError found in line "
                + std::to_string(line) + ", column " + std::to_string(column) + ".\n"))
            << content.constData();
        recorder::clear();
    }
}

TEST_F(LoadTest, AnUnclosedElementWithItsLineAndColumn)
{
    const std::string path = tempPath("unclosed.xml");
    writeFile(path, "<a>\n  <b>\n</a>\n");
    EXPECT_EQ(loadFails(path), GEN_QTXMLIF_ESYNTAX);
    ASSERT_EQ(recorder::records().size(), 1u);
    const std::string message = recorder::errorMessage(recorder::records().front());
    EXPECT_EQ(
        message.rfind(
            "XML document syntax error in file: " + path + "\nError found in line 3, column ", 0),
        0u)
        << message;
    EXPECT_EQ(recorder::records().front().format.find("@$@#gen/gen_qtxmlif@$@#GENERAL@$@#"), 0u);
    EXPECT_EQ(recorder::errorSignals(), 0);
}

TEST_F(LoadTest, LoadingTheSameFileTwice)
{
    const std::string path = tempPath("twice.xml");
    writeFile(path, "<a k='v'/>");
    int one = -1;
    int two = -1;
    ASSERT_EQ(gen__qtxmlif_load(path.c_str(), &one), GEN_QTXMLIF_OK);
    adopt(one);
    ASSERT_EQ(gen__qtxmlif_load(path.c_str(), &two), GEN_QTXMLIF_OK);
    adopt(two);
    EXPECT_EQ(two, one + 1);
    EXPECT_EQ(XmlManager::instance().workingDocument(), two);
    EXPECT_EQ(xmlOf(one), xmlOf(two));
    EXPECT_TRUE(noRecords());
}

TEST_F(LoadTest, WithoutAnIdPointer)
{
    const std::string path = tempPath("noid.xml");
    writeFile(path, "<a/>");
    for (int *doc : { static_cast<int *>(nullptr), reinterpret_cast<int *>(1000) }) {
        const int before = newDocument();
        EXPECT_EQ(gen__qtxmlif_load(path.c_str(), doc), GEN_QTXMLIF_OK);
        const int id = XmlManager::instance().workingDocument();
        adopt(id);
        EXPECT_EQ(id, before + 1);
        EXPECT_EQ(dom(id).documentElement().tagName(), QStringLiteral("a"));
    }
    EXPECT_TRUE(noRecords());
}

TEST_F(LoadTest, BuildingOnALoadedDocumentAddsToItsRoot)
{
    const int id = loadText("<?xml version='1.0'?>\n<r><a/></r>");
    EXPECT_EQ(XmlManager::instance().workingDocument(), id);
    ASSERT_EQ(gen__qtxmlif_add_attr("k", "v"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_node("n"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_text("inside"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_close_level(), GEN_QTXMLIF_OK);
    // Back at the root; the bottom level cannot be closed.
    EXPECT_EQ(gen__qtxmlif_close_level(), GEN_QTXMLIF_EINVAL);
    recorder::clear();
    ASSERT_EQ(gen__qtxmlif_add_node("m"), GEN_QTXMLIF_OK);
    EXPECT_EQ(
        xmlOf(id), QStringLiteral("<?xml version='1.0'?>\n<r k=\"v\"><a/><n>inside</n><m/></r>"));

    // Saved and walked alike.
    const std::string path = tempPath("built.xml");
    ASSERT_EQ(gen__qtxmlif_save(id, path.c_str()), GEN_QTXMLIF_OK);
    EXPECT_EQ(readFile(path),
        fixedDeclaration + "<r k=\"v\">\n    <a/>\n    <n>inside</n>\n    <m/>\n</r>\n");
    EXPECT_EQ(walk(id),
        (std::vector<Entity> { start("r", 0), attr("k", "v", 0), start("a", 1), finish("a", 1),
            start("n", 1), text("inside", 1), finish("n", 1), start("m", 1), finish("m", 1),
            finish("r", 0, GEN_QTXMLIF_END) }));
    EXPECT_TRUE(noRecords());
}

TEST_F(LoadTest, ABuiltDocumentWalksAlikeAfterSaveAndLoad)
{
    const int id = newDocument("xmlRoot");
    ASSERT_EQ(gen__qtxmlif_open_node("Personal_Details"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("First_Name", "J\xc3\xbcrgen"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("Last_Name", "a < b & \"c\""), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_node("Kids"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_node("kid"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_text("sings <loud> & clear"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_node("toy"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_close_level(), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_node("kid"), GEN_QTXMLIF_OK);
    const std::string path = tempPath("built.xml");
    ASSERT_EQ(gen__qtxmlif_save(id, path.c_str()), GEN_QTXMLIF_OK);
    const std::vector<Entity> built = walk(id);

    int loaded = -1;
    ASSERT_EQ(gen__qtxmlif_load(path.c_str(), &loaded), GEN_QTXMLIF_OK);
    adopt(loaded);
    EXPECT_EQ(walk(loaded), built);
    EXPECT_EQ(built.size(), 15u);
    EXPECT_TRUE(noRecords());
}

TEST_F(LoadTest, RoundTripOfAFileDeclaredUtf8)
{
    EXPECT_EQ(
        roundTrip("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + sampleBody()), sampleWalk());
    // Other spellings of the declaration.
    EXPECT_EQ(
        roundTrip("<?xml version='1.0'   encoding='utf-8' standalone='yes' ?>" + sampleBody()),
        sampleWalk());
    EXPECT_EQ(roundTrip("\xef\xbb\xbf<?xml version=\"1.0\"?>\r\n" + sampleBody()), sampleWalk());
}

TEST_F(LoadTest, RoundTripOfAFileDeclaredLatin1)
{
    QByteArray latin1 = QString::fromUtf8(sampleBody()).toLatin1();
    ASSERT_FALSE(isUtf8(latin1));
    EXPECT_EQ(
        roundTrip("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + latin1), sampleWalk());
}

TEST_F(LoadTest, RoundTripOfAFileWithoutADeclaration)
{
    EXPECT_EQ(roundTrip(sampleBody()), sampleWalk());
    const int id = loadText(sampleBody());
    const std::string path = tempPath("plain.xml");
    ASSERT_EQ(gen__qtxmlif_save(id, path.c_str()), GEN_QTXMLIF_OK);
    EXPECT_EQ(readFile(path), fixedDeclaration + dom(id).toString(4).toUtf8());
}

TEST_F(LoadTest, RoundTripOfAFileWithADoctype)
{
    const std::vector<Entity> entities
        = roundTrip("<?xml version='1.0'?>\n<!DOCTYPE a>\n<!-- c -->\n<?pi x?>\n" + sampleBody());
    EXPECT_EQ(entities, sampleWalk());
}

TEST_F(LoadTest, RoundTripOfAFileInUtf16)
{
    // Every byte value turns up in UTF-16, carriage returns included.
    const QString content = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n")
        + QString::fromUtf8(sampleBody())
              .replace(QStringLiteral("grüß"), QStringLiteral("gr\u00fc\u00df \u010d\u0d0d"));
    QByteArray bytes("\xff\xfe", 2);
    bytes += QByteArray(reinterpret_cast<const char *>(content.utf16()), content.size() * 2);
    std::vector<Entity> expected = sampleWalk();
    expected[2] = text("gr\xc3\xbc\xc3\x9f \xc4\x8d\xe0\xb4\x8d", 0);
    EXPECT_EQ(roundTrip(bytes), expected);
}

TEST_F(LoadTest, LineEndsAreTheParsersBusiness)
{
    // XML turns "\r\n" and a lone "\r" into "\n".
    const int id = loadText("<a k='1\r\n2'>x\r\ny\rz</a>");
    EXPECT_EQ(walk(id),
        (std::vector<Entity> { start("a", 0), attr("k", "1 2", 0), text("x\ny\nz", 0),
            finish("a", 0, GEN_QTXMLIF_END) }));
}
