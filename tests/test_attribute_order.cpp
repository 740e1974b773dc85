// SPDX-License-Identifier: MIT
#include "InterfaceTest.h"

#include <gen_lowlevel.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

#include <random>

namespace {

const QByteArray declaration = "<?xml version='1.0' encoding='UTF-8'?>\n";

// "name=value " for each attribute the walk delivers.
std::string walked(int id)
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
QString text(int id, const std::string &savePath = {})
{
    QString result;
    QFile file(QString::fromStdString(savePath));
    if (savePath.empty())
        EXPECT_EQ(gen__qtxmlif_doc_to_string(id, &result), GEN_QTXMLIF_OK);
    else if (gen__qtxmlif_save(id, savePath.c_str()) == GEN_QTXMLIF_OK
        && file.open(QFile::ReadOnly))
        result = QString::fromUtf8(file.readAll());
    return result;
}

// Each start tag's attributes (namespace declarations included) sorted.
QString sortedTags(QString xml)
{
    static const QRegularExpression tag(R"(<[^\s/>!?][^\s/>]*((?: [^\s=>]+="[^"]*")+))");
    static const QRegularExpression attribute(R"( [^\s=>]+="[^"]*")");
    for (const auto &match : tag.globalMatch(xml)) {
        QStringList parts;
        for (const auto &part : attribute.globalMatch(match.captured(1)))
            parts << part.captured();
        parts.sort();
        xml.replace(match.capturedStart(1), match.capturedLength(1), parts.join(QString()));
    }
    return xml;
}

// Random nesting, attributes in and out of namespaces, every kind of content
// and the characters Qt escapes.
QByteArray generated(std::mt19937 &random, int depth = 0)
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

} // namespace

using AttributeOrderTest = InterfaceTest;

TEST_F(AttributeOrderTest, LoadedFileOrderInWalkSaveAndReloadNamespacesIncluded)
{
    const int id = loadText(R"(<r z="1" xmlns:p="urn:p" a="2" p:m="3" xml:lang="en">)"
                            R"(<p:c xmlns:q="urn:q" q:y="4" p:b="5" x="6"/></r>)");
    EXPECT_EQ(walked(id), "z=1 a=2 p:m=3 xml:lang=en q:y=4 p:b=5 x=6 ");
    const QString expected
        = "<r z=\"1\" a=\"2\" p:m=\"3\" xmlns:p=\"urn:p\" xml:lang=\"en\" "
          "xmlns:xml=\"http://www.w3.org/XML/1998/namespace\">\n  <p:c "
          "xmlns:p=\"urn:p\" q:y=\"4\" xmlns:q=\"urn:q\" p:b=\"5\" x=\"6\"/>\n</r>\n";
    EXPECT_EQ(text(id), expected);
    const QString saved = text(id, tempPath("loaded.xml"));
    EXPECT_EQ(saved, declaration + QString(expected).replace("\n  <", "\n    <"));
    EXPECT_EQ(walked(loadText(saved.toUtf8())), walked(id));
}

TEST_F(AttributeOrderTest, BuiltOrderIsFirstAddingAlsoAfterChildren)
{
    const int id = newDocument("r");
    ASSERT_EQ(gen__qtxmlif_add_attr("z", "1") | gen__qtxmlif_add_attr("a", "1")
            | gen__qtxmlif_open_node("c") | gen__qtxmlif_add_attr("y", "2")
            | gen__qtxmlif_add_attr("b", "2") | gen__qtxmlif_close_node()
            | gen__qtxmlif_add_attr("m", "3") | gen__qtxmlif_add_attr("z", "4"),
        GEN_QTXMLIF_OK);
    EXPECT_EQ(text(id), "<r z=\"4\" a=\"1\" m=\"3\">\n  <c y=\"2\" b=\"2\"/>\n</r>\n");
    EXPECT_EQ(walked(id), "z=4 a=1 m=3 y=2 b=2 ");
}

// Runs itself again in child processes, which only save.
TEST_F(AttributeOrderTest, SameBytesWhateverTheHashSeed)
{
    if (const QByteArray target = qgetenv("ZGQX_ORDER_SAVE_TO"); !target.isEmpty()) {
        const int id = newDocument("r");
        for (const char *name : { "h", "g", "f", "e", "d", "c", "b", "a" })
            ASSERT_EQ(gen__qtxmlif_add_attr(name, name), GEN_QTXMLIF_OK);
        return (void)text(id, target.toStdString());
    }
    qputenv("ZGQX_ORDER_SAVE_TO", tempPath("seeded.xml").c_str());
    for (const char *seed : { "0", "", "", "" }) {
        *seed ? qputenv("QT_HASH_SEED", seed) : qunsetenv("QT_HASH_SEED");
        ASSERT_EQ(QProcess::execute(QFile::symLinkTarget("/proc/self/exe"),
                      { "--gtest_filter=AttributeOrderTest.SameBytesWhateverTheHashSeed" }),
            0);
        QFile file(QString::fromStdString(tempPath("seeded.xml")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(),
            declaration + "<r h=\"h\" g=\"g\" f=\"f\" e=\"e\" d=\"d\" c=\"c\" b=\"b\" a=\"a\"/>\n");
    }
    qunsetenv("ZGQX_ORDER_SAVE_TO");
}

// Loaded by Qt and by the library, the fuzz corpus and random documents give
// the same text once each tag's attributes are sorted.
TEST_F(AttributeOrderTest, TextEqualsQtsButForAttributeOrder)
{
    const QDir corpus(QStringLiteral(ZGQX_LOAD_CORPUS));
    QStringList paths;
    for (const QString &name : corpus.entryList(QDir::Files))
        paths << corpus.filePath(name);
    std::mt19937 random(15);
    for (int i = 0; i < 300; ++i) {
        QFile file(QString::fromStdString(tempPath("generated" + std::to_string(i))));
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
        EXPECT_EQ(sortedTags(text(id)), sortedTags(qt.toString(2))) << path.toStdString();
        QString qtSaved;
        QTextStream stream(&qtSaved);
        qt.save(stream << declaration, 4);
        stream.flush();
        if (qt.firstChild().nodeName() == "xml") // its own declaration is left out
            qtSaved.remove(declaration.size(), qt.firstChild().nodeValue().size() + 9);
        EXPECT_EQ(sortedTags(text(id, tempPath("saved.xml"))), sortedTags(qtSaved))
            << path.toStdString();
        gen__qtxmlif_del_document(id);
    }
    EXPECT_GT(compared, 400);
}
