// Hostile and extreme input: files past the nesting and attribute limits are
// refused quickly with the position of the element that passes them, files at
// the limits load and walk, and faults the fuzzers found stay fixed.
#include "ReadingSupport.h"

#include <QElapsedTimer>

using namespace reading;

namespace {

class ReliabilityTest : public InterfaceTest
{
protected:
    // Loads xml from a file, expecting a refusal; returns the message of the
    // one record written and the time the load took.
    std::string refusal(const QByteArray &xml, qint64 *elapsedMs)
    {
        const std::string path = tempPath("big.xml");
        writeFile(path, xml);
        QElapsedTimer timer;
        timer.start();
        int id = 77;
        EXPECT_EQ(gen__qtxmlif_load(path.c_str(), &id), GEN_QTXMLIF_ESYNTAX);
        *elapsedMs = timer.elapsed();
        EXPECT_EQ(id, -1);
        EXPECT_EQ(recorder::records().size(), 1u);
        EXPECT_EQ(recorder::errorSignals(), 0);
        const std::string message
            = recorder::records().empty() ? "" : recorder::errorMessage(recorder::records()[0]);
        recorder::clear();
        return message;
    }

    std::string syntaxMessage(int line, int column) const
    {
        return "XML document syntax error in file: " + tempPath("big.xml")
            + "\nError found in line " + std::to_string(line) + ", column " + std::to_string(column)
            + ".\n";
    }

    // depth nested elements, each start tag on a line of its own.
    static QByteArray nested(int depth, const QByteArray &name = "e")
    {
        QByteArray xml;
        for (int i = 0; i < depth; ++i)
            xml += "<" + name + ">\n";
        for (int i = 0; i < depth; ++i)
            xml += "</" + name + ">";
        return xml;
    }

    // The root, after some text lines, carrying count attributes.
    static QByteArray attributes(int count)
    {
        QByteArray xml = "<!-- x -->\n<r>\n  <e";
        for (int i = 0; i < count; ++i)
            xml += " a" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + "\"";
        return xml + "/>\n</r>\n";
    }
};

TEST_F(ReliabilityTest, HundredThousandNestedElementsAreRefusedQuickly)
{
    const QByteArray xml = nested(100000, "element");
    ASSERT_GT(xml.size(), 1000000);
    qint64 elapsed = 0;
    // Element 1025 is the first one past the limit; it starts line 1025.
    EXPECT_EQ(refusal(xml, &elapsed), syntaxMessage(GEN_QTXMLIF_MAX_DEPTH + 1, 1));
    EXPECT_LT(elapsed, 3000);
    EXPECT_EQ(XmlManager::instance().documentCount(), 0);
}

TEST_F(ReliabilityTest, HundredThousandAttributesAreRefusedQuickly)
{
    qint64 elapsed = 0;
    EXPECT_EQ(refusal(attributes(100000), &elapsed), syntaxMessage(3, 3));
    EXPECT_LT(elapsed, 3000);
}

TEST_F(ReliabilityTest, FilesAtTheLimitsLoadAndWalk)
{
    const int deep = loadText(nested(GEN_QTXMLIF_MAX_DEPTH));
    ASSERT_GT(deep, 0);
    const std::vector<Entity> entities = walk(deep);
    ASSERT_EQ(entities.size(), 2u * GEN_QTXMLIF_MAX_DEPTH);
    // The newlines between the tags are whitespace-only text, which the
    // parser drops.
    for (int i = 0; i < GEN_QTXMLIF_MAX_DEPTH; ++i) {
        EXPECT_EQ(entities[i], start("e", i));
        EXPECT_EQ(entities[2 * GEN_QTXMLIF_MAX_DEPTH - 1 - i],
            finish("e", i, i == 0 ? GEN_QTXMLIF_END : GEN_QTXMLIF_OK));
    }

    const int wide = loadText(attributes(GEN_QTXMLIF_MAX_ATTRIBUTES));
    ASSERT_GT(wide, 0);
    const std::vector<Entity> all = walk(wide);
    const auto attrCount = std::count_if(
        all.begin(), all.end(), [](const Entity &e) { return e.type == XML_ETYPE_ATTR; });
    EXPECT_EQ(attrCount, GEN_QTXMLIF_MAX_ATTRIBUTES);
    EXPECT_TRUE(noRecords());
}

TEST_F(ReliabilityTest, OneStepPastEachLimitIsRefused)
{
    qint64 elapsed = 0;
    EXPECT_EQ(refusal(nested(GEN_QTXMLIF_MAX_DEPTH + 1), &elapsed),
        syntaxMessage(GEN_QTXMLIF_MAX_DEPTH + 1, 1));
    EXPECT_EQ(refusal(attributes(GEN_QTXMLIF_MAX_ATTRIBUTES + 1), &elapsed), syntaxMessage(3, 3));
    // A refusal uses up an ID like any failed parse: the next document's ID
    // is two on from the last.
    int first = -1;
    ASSERT_EQ(gen__qtxmlif_add_document(&first, nullptr), GEN_QTXMLIF_OK);
    adopt(first);
    refusal(nested(GEN_QTXMLIF_MAX_DEPTH + 1), &elapsed);
    int second = -1;
    ASSERT_EQ(gen__qtxmlif_add_document(&second, nullptr), GEN_QTXMLIF_OK);
    adopt(second);
    EXPECT_EQ(second, first + 2);
}

TEST_F(ReliabilityTest, MarkupInsideTextCommentsAndValuesIsNotCounted)
{
    QByteArray many;
    for (int i = 0; i < 3 * GEN_QTXMLIF_MAX_DEPTH; ++i)
        many += "<e x='1'>";
    QByteArray equals(3 * GEN_QTXMLIF_MAX_ATTRIBUTES, '=');
    const QByteArray xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY e \"x\">]>\n<r v=\""
        + equals + "\" w='" + many.replace('\'', '"').replace("<", "&lt;") + "'><!-- " + many
        + " --><![CDATA[" + many + "]]><?pi " + many + "?></r>";
    const int id = loadText(xml);
    ASSERT_GT(id, 0);
    EXPECT_TRUE(noRecords());
}

TEST_F(ReliabilityTest, PrefixedChildrenAreFoundByName)
{
    // Namespace processing keeps "ns:a" as the node's name; the named query
    // must find it under that name, as the next-child query reports it.
    const int id = loadText("<ns:r xmlns:ns=\"urn:x\"><ns:a ns:k=\"v\"/><b/></ns:r>");
    ASSERT_GT(id, 0);
    void *root = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &root), GEN_QTXMLIF_OK);
    void *child = nullptr;
    int depth = 0;
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, root, "ns:a", &child, &depth), GEN_QTXMLIF_OK);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(depth, 1);
    char *value = nullptr;
    bool found = false;
    ASSERT_EQ(gen__qtxmlif_get_named_attribute(id, child, "ns:k", &value, &found), GEN_QTXMLIF_OK);
    EXPECT_TRUE(found);
    EXPECT_EQ(recorder::take(value), "v");
    ASSERT_EQ(gen__qtxmlif_get_named_attribute(id, child, "xx:k", &value, &found), GEN_QTXMLIF_OK);
    EXPECT_FALSE(found);
    recorder::take(value);
    gen__qtxmlif_delete_node(&child);
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, root, "a", &child, &depth), GEN_QTXMLIF_OK);
    EXPECT_EQ(child, nullptr);
    EXPECT_EQ(depth, -1);
    EXPECT_EQ(gen__qtxmlif_end_traversion(id), GEN_QTXMLIF_OK);
    EXPECT_TRUE(noRecords());
}

} // namespace
