#include "InterfaceTest.h"

#include <QDomElement>
#include <QStringList>

namespace {

class BuilderTest : public InterfaceTest
{
protected:
    static XmlDocument &working() { return *XmlManager::instance().findWorkingDocument(); }
    static QString currentName() { return working().currentNode().nodeName(); }
};

QStringList childNames(const QDomNode &node)
{
    QStringList names;
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
        names << child.nodeName();
    return names;
}

} // namespace

TEST_F(BuilderTest, WorkedExampleBuildsNestedDocument)
{
    const int id = newDocument("xmlRoot");
    ASSERT_EQ(gen__qtxmlif_add_node("Personal_Details"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("First_Name", "Anna"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_node("Kids"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_node("kid"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_text("plays"), GEN_QTXMLIF_OK);
    EXPECT_EQ(working().levelCount(), 3);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(gen__qtxmlif_close_level(), GEN_QTXMLIF_OK);
    EXPECT_EQ(working().levelCount(), 0);
    EXPECT_EQ(currentName(), QStringLiteral("xmlRoot"));
    EXPECT_TRUE(noRecords());

    const QDomElement root = dom(id).documentElement();
    const QDomElement details = root.firstChildElement();
    EXPECT_EQ(childNames(root), QStringList { QStringLiteral("Personal_Details") });
    EXPECT_EQ(details.attribute(QStringLiteral("First_Name")), QStringLiteral("Anna"));
    const QDomElement kids = details.firstChildElement(QStringLiteral("Kids"));
    EXPECT_EQ(childNames(kids), QStringList { QStringLiteral("kid") });
    EXPECT_EQ(kids.firstChildElement().text(), QStringLiteral("plays"));

    // The bottom level cannot be closed.
    EXPECT_EQ(gen__qtxmlif_close_level(), GEN_QTXMLIF_EINVAL);
    EXPECT_TRUE(onlyAssertion("result == true"));
}

TEST_F(BuilderTest, ArgumentChecksComeBeforeTheDocument)
{
    struct Case
    {
        int (*call)(const char *);
        const char *condition;
    };
    const Case cases[] = {
        { gen__qtxmlif_add_node, "!((node_name) ? (node_name)[0]=='\\0' : true)" },
        { gen__qtxmlif_open_node, "!((node_name) ? (node_name)[0]=='\\0' : true)" },
        { [](const char *name) { return gen__qtxmlif_add_attr(name, "v"); },
            "!((attr_name) ? (attr_name)[0]=='\\0' : true)" },
        { gen__qtxmlif_add_text, "!((text_val) ? (text_val)[0]=='\\0' : true)" },
    };
    // No working document: the argument is still checked first.
    for (const Case &c : cases) {
        for (const char *argument : { static_cast<const char *>(nullptr), "" }) {
            recorder::clear();
            EXPECT_EQ(c.call(argument), GEN_QTXMLIF_EINVAL);
            EXPECT_TRUE(onlyAssertion(c.condition));
        }
        recorder::clear();
        EXPECT_EQ(c.call("name"), GEN_QTXMLIF_ENODOC);
        EXPECT_TRUE(onlyAssertion("xmlManager.documentExist( doc_id )"));
    }
    for (int (*call)() :
        { gen__qtxmlif_open_level, gen__qtxmlif_close_level, gen__qtxmlif_close_node }) {
        recorder::clear();
        EXPECT_EQ(call(), GEN_QTXMLIF_ENODOC);
        EXPECT_TRUE(onlyAssertion("xmlManager.documentExist( doc_id )"));
    }
}

TEST_F(BuilderTest, AddNodeAppendsSiblingsAndAttributesGoToTheCurrentLevel)
{
    const int id = newDocument("r");
    ASSERT_EQ(gen__qtxmlif_add_node("first"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_node("Kids"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("a", "1"), GEN_QTXMLIF_OK);
    const QDomElement root = dom(id).documentElement();
    EXPECT_EQ(childNames(root), (QStringList { QStringLiteral("first"), QStringLiteral("Kids") }));
    EXPECT_EQ(root.attribute(QStringLiteral("a")), QStringLiteral("1"));
    EXPECT_FALSE(root.lastChildElement().hasAttribute(QStringLiteral("a")));

    ASSERT_EQ(gen__qtxmlif_open_node("Kids"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("b", "2"), GEN_QTXMLIF_OK);
    EXPECT_EQ(root.lastChildElement().attribute(QStringLiteral("b")), QStringLiteral("2"));
    EXPECT_EQ(childNames(root).size(), 3);
}

TEST_F(BuilderTest, OpenNodeTrimsAndReplacesSpaces)
{
    const int id = newDocument("r");
    ASSERT_EQ(gen__qtxmlif_add_node("  my kid\t "), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_node("  my kid\t "), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_node(" a\tb c "), GEN_QTXMLIF_OK);
    const QDomElement root = dom(id).documentElement();
    EXPECT_EQ(childNames(root),
        (QStringList { QStringLiteral("  my kid\t "), QStringLiteral("my_kid") }));
    EXPECT_EQ(currentName(), QStringLiteral("a\tb_c"));
    EXPECT_EQ(working().levelCount(), 2);

    recorder::clear();
    EXPECT_EQ(gen__qtxmlif_open_node("   "), GEN_QTXMLIF_EINVAL);
    EXPECT_TRUE(onlyAssertion("result == true"));
    EXPECT_EQ(currentName(), QStringLiteral("a\tb_c"));
    EXPECT_EQ(working().currentNode().childNodes().count(), 0);
}

TEST_F(BuilderTest, LevelsOpenAndCloseAroundTheLastAddedElement)
{
    newDocument("r");
    // Nothing added yet: open changes nothing, so there is nothing to close.
    EXPECT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    EXPECT_EQ(working().levelCount(), 0);
    EXPECT_EQ(gen__qtxmlif_close_level(), GEN_QTXMLIF_EINVAL);

    // open_node already descended: a second open is a no-op.
    ASSERT_EQ(gen__qtxmlif_open_node("Kids"), GEN_QTXMLIF_OK);
    EXPECT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    EXPECT_EQ(working().levelCount(), 1);
    ASSERT_EQ(gen__qtxmlif_add_node("kid"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_close_node(), GEN_QTXMLIF_OK);
    EXPECT_EQ(currentName(), QStringLiteral("r"));
    // The last-added element lies inside the closed level; open goes back in.
    ASSERT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    EXPECT_EQ(currentName(), QStringLiteral("kid"));
    EXPECT_EQ(working().currentNode().parentNode().nodeName(), QStringLiteral("Kids"));
    EXPECT_EQ(gen__qtxmlif_close_level(), GEN_QTXMLIF_OK);
    EXPECT_EQ(gen__qtxmlif_close_node(), GEN_QTXMLIF_EINVAL);
}

TEST_F(BuilderTest, AttributesAndText)
{
    const int id = newDocument("r");
    ASSERT_EQ(gen__qtxmlif_add_attr("a", "first"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("a", "second"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("empty", nullptr), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("u", "gr\xc3\xbc\xc3\x9f"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_text("one"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_text("two"), GEN_QTXMLIF_OK);
    const QDomElement root = dom(id).documentElement();
    EXPECT_EQ(root.attributes().count(), 3);
    EXPECT_EQ(root.attribute(QStringLiteral("a")), QStringLiteral("second"));
    EXPECT_TRUE(root.hasAttribute(QStringLiteral("empty")));
    EXPECT_EQ(root.attribute(QStringLiteral("empty"), QStringLiteral("x")), QString());
    EXPECT_EQ(root.attribute(QStringLiteral("u")), QString::fromUtf8("gr\xc3\xbc\xc3\x9f"));
    ASSERT_EQ(root.childNodes().count(), 2);
    EXPECT_EQ(root.firstChild().nodeValue(), QStringLiteral("one"));
    EXPECT_EQ(root.lastChild().nodeValue(), QStringLiteral("two"));
}

TEST_F(BuilderTest, TraversalEndsBuildingForGood)
{
    const int id = newDocument("r");
    ASSERT_EQ(gen__qtxmlif_add_node("a"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_node("b"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    ASSERT_EQ(working().levelCount(), 2);
    // Also a begin that finds no start element.
    EXPECT_EQ(gen__qtxmlif_begin_traversion(id, "missing", nullptr), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(working().levelCount(), 0);
    EXPECT_TRUE(working().currentNode().isNull());
    const QString before = xmlOf(id);

    static QStringList debugMessages;
    debugMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type == QtDebugMsg)
                debugMessages << text;
        });
    const int status[] = {
        gen__qtxmlif_add_node("x"),
        gen__qtxmlif_open_node("x"),
        gen__qtxmlif_open_level(),
        gen__qtxmlif_close_level(),
        gen__qtxmlif_add_attr("x", "1"),
        gen__qtxmlif_add_text("x"),
    };
    qInstallMessageHandler(previous);
    for (int s : status)
        EXPECT_EQ(s, GEN_QTXMLIF_EINVAL);
    // add_attr and add_text say "Error" on the debug channel first.
    EXPECT_EQ(debugMessages, (QStringList { QStringLiteral("Error"), QStringLiteral("Error") }));
    EXPECT_EQ(xmlOf(id), before);
    ASSERT_EQ(recorder::records().size(), 6u);
    for (const recorder::Record &record : recorder::records())
        EXPECT_EQ(record.condition, "result == true");
}

TEST_F(BuilderTest, BuildingFollowsTheWorkingDocument)
{
    const int one = newDocument("one");
    ASSERT_EQ(gen__qtxmlif_add_node("a"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
    const int two = newDocument("two");
    ASSERT_EQ(gen__qtxmlif_add_node("b"), GEN_QTXMLIF_OK);
    gen__qtxmlif_set_working_document(one);
    ASSERT_EQ(gen__qtxmlif_add_node("c"), GEN_QTXMLIF_OK);
    EXPECT_EQ(xmlOf(one), QStringLiteral("<one><a><c/></a></one>"));
    EXPECT_EQ(xmlOf(two), QStringLiteral("<two><b/></two>"));
}
