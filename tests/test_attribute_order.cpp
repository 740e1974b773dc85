// SPDX-License-Identifier: MIT
#include "Api.h"

#include <gen_lowlevel.h>

#include <QDir>
#include <QDomDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStringEncoder>

#include <random>

const QByteArray declaration = "<?xml version='1.0' encoding='UTF-8'?>\n";

// "name=value " for each attribute the walk delivers.
static std::string walked(int id)
{
    std::string names;
    int type = 0, depth = 0, status = gen__qtxmlif_begin_traversion(id, nullptr, nullptr);
    for (bool end = false; status == GEN_QTXMLIF_OK;) {
        char *name = nullptr, *value = nullptr;
        status = gen__qtxmlif_get_next_entity(id, &type, &name, &value, &depth, &end);
        names += type == XML_ETYPE_ATTR ? std::string(name) + "=" + value + " " : "";
        for (char *copy : { name, value })
            gen__mem_free(copy, 1, __FILE__, __LINE__);
    }
    return names;
}

// doc_to_string, or with a path the saved file.
static QString written(int id, const std::string &path = {})
{
    QString result;
    QFile file(QString::fromStdString(path));
    if (path.empty() ? gen__qtxmlif_doc_to_string(id, &result)
                     : gen__qtxmlif_save(id, path.c_str()) || !file.open(QFile::ReadOnly))
        return "failed";
    return path.empty() ? result : QString::fromUtf8(file.readAll());
}

// Each start tag's attributes (namespace declarations included) sorted.
static QString sortedTags(QString xml)
{
    static const QRegularExpression tag(R"(<[^\s/>!?][^\s/>]*((?: [^\s=>]+="[^"]*")+))");
    for (const auto &match : tag.globalMatch(xml)) {
        QStringList parts = match.captured(1).split(u' ');
        parts.sort();
        xml.replace(match.capturedStart(1), match.capturedLength(1), parts.join(u' '));
    }
    return xml;
}

// Random nesting, attributes in and out of namespaces, every kind of content
// and the characters Qt escapes.
static QByteArray generated(std::mt19937 &random, int depth = 0)
{
    static const char *const texts[] = { "x", "&lt;&amp;&gt;", "]]&gt;", "&#9;&#10;&#13;",
        "&quot;'", "\xc3\xa9\xe2\x82\xac", "<!--c-->", "<![CDATA[<&]]>", "<?pi d?>" };
    std::vector<const char *> names = { "k", "z", "a", "p:k", "q:m", "xml:lang", "b", "p:z" };
    std::shuffle(names.begin(), names.end(), random);
    QByteArray xml = depth ? "<e" : R"(<r xmlns:p="urn:p" xmlns:q="urn:q")";
    for (int i = random() % 7; i > 0; --i)
        xml += QByteArray(" ") + names[i] + "=\"" + texts[random() % 6] + "\"";
    xml += ">";
    for (int i = random() % (depth < 4 ? 5 : 2); i > 0; --i)
        xml += random() % 2 ? generated(random, depth + 1) : QByteArray(texts[random() % 9]);
    return xml + (depth ? "</e>" : "</r>");
}

using AttributeOrderTest = Api;

TEST_F(AttributeOrderTest, LoadedFileOrderInWalkSaveAndReloadNamespacesIncluded)
{
    const int id = load(R"(<r z="1" xmlns:p="urn:p" a="2" p:m="3" xml:lang="en">)"
                        R"(<p:c xmlns:q="urn:q" q:y="4" p:b="5" x="6"/></r>)");
    EXPECT_EQ(walked(id), "z=1 a=2 p:m=3 xml:lang=en q:y=4 p:b=5 x=6 ");
    const QString expected
        = "<r z=\"1\" a=\"2\" p:m=\"3\" xmlns:p=\"urn:p\" xml:lang=\"en\" "
          "xmlns:xml=\"http://www.w3.org/XML/1998/namespace\">\n  <p:c "
          "xmlns:p=\"urn:p\" q:y=\"4\" xmlns:q=\"urn:q\" p:b=\"5\" x=\"6\"/>\n</r>\n";
    EXPECT_EQ(written(id), expected);
    const QString saved = written(id, path("loaded.xml"));
    EXPECT_EQ(saved, declaration + QString(expected).replace("\n  <", "\n    <"));
    EXPECT_EQ(walked(load(saved.toUtf8())), walked(id));
    // Added to a loaded element: after the file's own; set again: in place.
    const int grown = load(R"(<r z="1" a="2"/>)");
    ASSERT_EQ(gen__qtxmlif_add_attr("m", "3") | gen__qtxmlif_add_attr("z", "4"), GEN_QTXMLIF_OK);
    EXPECT_EQ(walked(grown), "z=4 a=2 m=3 ");
}

TEST_F(AttributeOrderTest, BuiltOrderIsFirstAddingAlsoAfterChildren)
{
    const int id = doc("r");
    ASSERT_EQ(gen__qtxmlif_add_attr("z", "1") | gen__qtxmlif_add_attr("a", "1")
            | gen__qtxmlif_open_node("c") | gen__qtxmlif_add_attr("y", "2")
            | gen__qtxmlif_add_attr("b", "2") | gen__qtxmlif_close_node()
            | gen__qtxmlif_add_attr("m", "3") | gen__qtxmlif_add_attr("z", "4"),
        GEN_QTXMLIF_OK);
    EXPECT_EQ(written(id), "<r z=\"4\" a=\"1\" m=\"3\">\n  <c y=\"2\" b=\"2\"/>\n</r>\n");
    EXPECT_EQ(written(id, path("built.xml")),
        declaration + "<r z=\"4\" a=\"1\" m=\"3\">\n    <c y=\"2\" b=\"2\"/>\n</r>\n");
    EXPECT_EQ(walked(id), "z=4 a=1 m=3 y=2 b=2 ");
}

// The order comes from the tags the read passes, block by block, and from a
// second scan where the read cannot match tags to elements.
TEST_F(AttributeOrderTest, LoadedOrderWhateverTheTextAroundTheTags)
{
    QByteArray many = "<r>";
    std::string manyWalked;
    for (int i = 0; i < 9000; ++i) { // some tag ends past the first read block
        const QByteArray n = QByteArray::number(i % 97);
        many += "<e z='" + n + "'\n a = \"" + n + "\" m=\"\"/>";
        manyWalked += "z=" + n.toStdString() + " a=" + n.toStdString() + " m= ";
    }
    QByteArray wide = "<r";
    for (char c = 'j'; c > 'a'; --c)
        wide += QByteArray(" ") + c + "='" + c + "'";
    const QByteArray spaced = "<!-- <x q='1' p='2'> --><r z = '1>'\n\ta=\"2'\"\r\n m='3'>"
                              "<![CDATA[<x q='1' p='2'>]]><!----><?pi <y d='1' c='2'>?><d>"
        + QByteArray(200, 'x') + "</d><e yyyyy='1' b='2'/></r>";
    const struct
    {
        QByteArray xml;
        std::string walk;
    } rows[] = {
        { spaced, "z=1> a=2' m=3 yyyyy=1 b=2 " },
        // The entity's element has no tag of its own in the text.
        { "<!DOCTYPE r [<!ENTITY x \"<i q='1' p='2'/>\">]><r b='1' a='2'>&x;<e y='1' c='2'/></r>",
            "b=1 a=2 p=2 q=1 y=1 c=2 " },
        { wide + "/>", "j=j i=i h=h g=g f=f e=e d=d c=c b=b " },
        // U+FEFF may start a name, where a decoder would drop it as a BOM.
        { "<r z='1' \xef\xbb\xbf"
          "y='2' a='3'/>",
            "z=1 \xef\xbb\xbfy=2 a=3 " },
        { many + "</r>", manyWalked },
    };
    for (const auto &row : rows)
        EXPECT_EQ(walked(load(row.xml)), row.walk) << row.xml.left(60).toStdString();
    // Names are read in the text's own code units and byte order.
    for (const auto encoding : { QStringConverter::Utf16LE, QStringConverter::Utf16BE,
             QStringConverter::Utf32LE, QStringConverter::Utf32BE }) {
        QStringEncoder encode(encoding, QStringEncoder::Flag::WriteBom);
        const QByteArray xml = encode(QString::fromUtf8(spaced));
        EXPECT_EQ(walked(load(xml)), "z=1> a=2' m=3 yyyyy=1 b=2 ") << encode.name();
    }
}

// The tests above again, in processes with other hash seeds.
TEST_F(AttributeOrderTest, SameBytesWhateverTheHashSeed)
{
    for (const char *seed : { "0", "", "" }) {
        *seed ? qputenv("QT_HASH_SEED", seed) : qunsetenv("QT_HASH_SEED");
        EXPECT_EQ(QProcess::execute(QFile::symLinkTarget("/proc/self/exe"),
                      { "--gtest_filter=AttributeOrderTest.Loaded*:AttributeOrderTest.Built*" }),
            0);
    }
}

// Loaded by Qt and by the library, the fuzz corpus and random documents give
// the same text once each tag's attributes are sorted.
TEST_F(AttributeOrderTest, TextEqualsQtsButForAttributeOrder)
{
    const QDir corpus(QStringLiteral(ZGQX_LOAD_CORPUS));
    QStringList paths;
    for (const QFileInfo &entry : corpus.entryInfoList(QDir::Files))
        paths << entry.filePath();
    std::mt19937 random(15);
    for (int i = 0; i < 300; ++i) {
        QFile file(QString::fromStdString(path("generated" + std::to_string(i))));
        if (file.open(QFile::WriteOnly) && file.write(generated(random)) > 0)
            paths << file.fileName();
    }
    int compared = 0;
    for (const QString &path : paths) {
        QFile file(path);
        QDomDocument qt;
        int id = -1;
        if (!file.open(QFile::ReadOnly) || !qt.setContent(&file, true)
            || gen__qtxmlif_load(path.toUtf8().constData(), &id) != GEN_QTXMLIF_OK)
            continue; // not well-formed, or past the load limits
        ++compared;
        EXPECT_EQ(sortedTags(written(id)), sortedTags(qt.toString(2))) << path.toStdString();
        QString qtSaved = qt.toString(4);
        if (qt.firstChild().nodeName() == "xml") // its own declaration is left out
            qtSaved.remove(0, qtSaved.indexOf(u'\n') + 1);
        EXPECT_EQ(
            sortedTags(written(id, Api::path("saved.xml"))), sortedTags(declaration + qtSaved))
            << path.toStdString();
        gen__qtxmlif_del_document(id);
    }
    EXPECT_GT(compared, 400);
}

TEST_F(AttributeOrderTest, DefaultsFromTheDtdFollowTheFilesOwnByName)
{
    const QByteArray dtd = "<!DOCTYPE r [<!ATTLIST r e CDATA 'y' d CDATA 'x'>]>";
    EXPECT_EQ(walked(load(dtd + "<r b='1' a='2'/>")), "b=1 a=2 d=x e=y ");
    EXPECT_EQ(walked(load(dtd + "<r/>")), "d=x e=y ");
}
