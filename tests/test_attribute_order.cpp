// SPDX-License-Identifier: MIT
// Attributes keep document order through the walk, save and doc_to_string,
// and the serialisation equals Qt's own but for that order.
#include "InterfaceTest.h"

#include <gen_lowlevel.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <random>

namespace {

// The attribute names the walk of a document delivers, in turn.
std::string walkedAttributes(int id)
{
    void *root = nullptr;
    EXPECT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &root), GEN_QTXMLIF_OK);
    std::string names;
    int type = 0, depth = 0, status = GEN_QTXMLIF_OK;
    bool end = false;
    while (status == GEN_QTXMLIF_OK) {
        char *name = nullptr, *value = nullptr;
        status = gen__qtxmlif_get_next_entity(id, &type, &name, &value, &depth, &end);
        if (type == XML_ETYPE_ATTR)
            names += std::string(name) + "=" + value + " ";
        gen__mem_free(name, 1, __FILE__, __LINE__);
        gen__mem_free(value, 1, __FILE__, __LINE__);
    }
    EXPECT_EQ(status, GEN_QTXMLIF_END);
    return names;
}

QString text(int id)
{
    QString result;
    EXPECT_EQ(gen__qtxmlif_doc_to_string(id, &result), GEN_QTXMLIF_OK);
    return result;
}

QByteArray saved(int id, const std::string &path)
{
    EXPECT_EQ(gen__qtxmlif_save(id, path.c_str()), GEN_QTXMLIF_OK);
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each start tag with its attributes sorted: Qt writes them in hash order.
QString sortedTags(const QString &xml)
{
    static const QRegularExpression tag(R"(<[^\s/>!?][^\s/>]*((?: [^\s=>]+="[^"]*")+))");
    static const QRegularExpression attribute(R"( [^\s=>]+="[^"]*")");
    QString result = xml;
    for (const auto &match : tag.globalMatch(xml)) {
        QStringList parts;
        for (const auto &part : attribute.globalMatch(match.captured(1)))
            parts << part.captured();
        parts.sort();
        result.replace(match.capturedStart(1), match.capturedLength(1), parts.join(QString()));
    }
    return result;
}

const char declaration[] = "<?xml version='1.0' encoding='UTF-8'?>\n";

// A random document of nested elements with attributes in and out of
// namespaces, and every kind of content, with the characters Qt escapes.
QByteArray generated(std::mt19937 &random, int depth = 0)
{
    static const char *const names[] = { "k", "z", "a", "p:k", "q:m", "xml:lang", "b", "p:z" };
    static const char *const texts[]
        = { "x", "&lt;&amp;&gt;", "]]&gt;", "&#9;&#10;&#13;", "\"'", "\xc3\xa9\xe2\x82\xac" };
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    QByteArray xml = depth ? "<e" : R"(<r xmlns:p="urn:p" xmlns:q="urn:q")";
    std::vector<const char *> attributes(std::begin(names), std::end(names));
    std::shuffle(attributes.begin(), attributes.end(), random);
    for (int i = pick(6); i > 0; --i)
        xml += QByteArray(" ") + attributes[i] + "=\"" + texts[pick(6)] + "\"";
    xml += ">";
    for (int i = pick(depth < 4 ? 5 : 2); i > 0; --i) {
        static const char *const other[] = { "<!--c-->", "<![CDATA[<&]]>", "<?pi d?>" };
        const int kind = pick(5);
        xml += kind < 2 ? generated(random, depth + 1)
                        : QByteArray(kind == 2 ? texts[pick(6)] : other[pick(3)]);
    }
    return xml + (depth ? "</e>" : "</r>");
}

} // namespace

class AttributeOrderTest : public InterfaceTest
{
};

TEST_F(AttributeOrderTest, LoadedFileOrderSurvivesWalkSaveAndReload)
{
    const int id = loadText(R"(<r z="1" a="2" m="3"><c y="4" b="5"/></r>)");
    EXPECT_EQ(walkedAttributes(id), "z=1 a=2 m=3 y=4 b=5 ");
    EXPECT_EQ(text(id), "<r z=\"1\" a=\"2\" m=\"3\">\n  <c y=\"4\" b=\"5\"/>\n</r>\n");
    const QByteArray bytes = saved(id, tempPath("loaded.xml"));
    EXPECT_EQ(bytes,
        QByteArray(declaration) + "<r z=\"1\" a=\"2\" m=\"3\">\n    <c y=\"4\" b=\"5\"/>\n</r>\n");
    EXPECT_EQ(walkedAttributes(loadText(bytes)), "z=1 a=2 m=3 y=4 b=5 ");
}

TEST_F(AttributeOrderTest, BuiltOrderIsFirstAddingAlsoAfterChildren)
{
    const int id = newDocument("r");
    for (const char *name : { "z", "a" })
        ASSERT_EQ(gen__qtxmlif_add_attr(name, "1"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_node("c"), GEN_QTXMLIF_OK);
    for (const char *name : { "y", "b", "x" })
        ASSERT_EQ(gen__qtxmlif_add_attr(name, "2"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_close_node(), GEN_QTXMLIF_OK);
    for (const auto &[name, value] : { std::pair { "m", "3" }, { "z", "4" }, { "b", "5" } })
        ASSERT_EQ(gen__qtxmlif_add_attr(name, value), GEN_QTXMLIF_OK);
    EXPECT_EQ(
        text(id), "<r z=\"4\" a=\"1\" m=\"3\" b=\"5\">\n  <c y=\"2\" b=\"2\" x=\"2\"/>\n</r>\n");
    EXPECT_EQ(walkedAttributes(id), "z=4 a=1 m=3 b=5 y=2 b=2 x=2 ");
}

TEST_F(AttributeOrderTest, NamespacedAttributesAndDeclarations)
{
    const int id = loadText(R"(<r xmlns="urn:d" xmlns:p="urn:p" b="1" p:a="2" xml:lang="en">)"
                            R"(<p:c p:z="3" a="4" xmlns:q="urn:q" q:y="5"/></r>)");
    EXPECT_EQ(walkedAttributes(id), "b=1 p:a=2 xml:lang=en p:z=3 a=4 q:y=5 ");
    EXPECT_EQ(text(id),
        "<r xmlns=\"urn:d\" b=\"1\" p:a=\"2\" xmlns:p=\"urn:p\" xml:lang=\"en\" "
        "xmlns:xml=\"http://www.w3.org/XML/1998/namespace\">\n"
        "  <p:c xmlns:p=\"urn:p\" p:z=\"3\" a=\"4\" q:y=\"5\" xmlns:q=\"urn:q\"/>\n</r>\n");
}

// Run again as a child process with another hash seed, the test only saves.
TEST_F(AttributeOrderTest, SameBytesInEveryProcess)
{
    const QByteArray target = qgetenv("ZGQX_ORDER_SAVE_TO");
    if (!target.isEmpty()) {
        newDocument("r");
        for (const char *name : { "h", "g", "f", "e", "d", "c", "b", "a" })
            ASSERT_EQ(gen__qtxmlif_add_attr(name, name), GEN_QTXMLIF_OK);
        ASSERT_EQ(gen__qtxmlif_save(1, target.constData()), GEN_QTXMLIF_OK);
        return;
    }
    for (const char *seed : { "0", "", "", "" }) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ZGQX_ORDER_SAVE_TO", QString::fromStdString(tempPath("seeded.xml")));
        environment.insert("QT_HASH_SEED", QString::fromLatin1(seed));
        if (!*seed)
            environment.remove("QT_HASH_SEED");
        child.setProcessEnvironment(environment);
        child.start(QFile::symLinkTarget("/proc/self/exe"),
            { "--gtest_filter=AttributeOrderTest.SameBytesInEveryProcess" });
        ASSERT_TRUE(child.waitForFinished(30000));
        ASSERT_EQ(child.exitCode(), 0) << child.readAll().constData();
        QFile file(QString::fromStdString(tempPath("seeded.xml")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(),
            QByteArray(declaration)
                + R"(<r h="h" g="g" f="f" e="e" d="d" c="c" b="b" a="a"/>)"
                  "\n");
    }
}

// Qt's own serialisation of the fuzz corpus and of random documents, loaded
// by Qt and by the library: equal once each tag's attributes are sorted.
TEST_F(AttributeOrderTest, SerialisationEqualsQtsButForAttributeOrder)
{
    std::vector<QByteArray> inputs;
    const QDir corpus(QStringLiteral(ZGQX_LOAD_CORPUS));
    for (const QString &name : corpus.entryList(QDir::Files)) {
        QFile file(corpus.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            inputs.push_back(file.readAll());
    }
    std::mt19937 random(15);
    for (int i = 0; i < 300; ++i)
        inputs.push_back(generated(random));
    int compared = 0;
    for (const QByteArray &input : inputs) {
        QDomDocument qt;
        int id = -1;
        const std::string path = tempPath("input.xml");
        QFile file(QString::fromStdString(path));
        if (!qt.setContent(input, true) || !file.open(QIODevice::WriteOnly)
            || file.write(input) < 0)
            continue;
        file.close();
        if (gen__qtxmlif_load(path.c_str(), &id) != GEN_QTXMLIF_OK)
            continue; // past the load limits
        adopt(id);
        ++compared;
        EXPECT_EQ(sortedTags(text(id)), sortedTags(qt.toString(2))) << input.constData();
        QString qtSaved;
        QTextStream stream(&qtSaved);
        qt.save(stream, 4);
        stream.flush();
        const QDomNode first = qt.firstChild();
        if (first.isProcessingInstruction() && first.nodeName() == "xml")
            qtSaved.remove(0, first.nodeValue().size() + 9);
        EXPECT_EQ(sortedTags(QString::fromUtf8(saved(id, tempPath("saved.xml")))),
            sortedTags(declaration + qtSaved))
            << input.constData();
        gen__qtxmlif_del_document(id);
    }
    EXPECT_GT(compared, 400);
}
