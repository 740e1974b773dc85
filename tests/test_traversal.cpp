// The entity walk, its look-ahead questions and their failure rows.
#include "ReadingSupport.h"

#include "NodeCursor.h"

#include <QDomElement>

#include <functional>

using namespace reading;

namespace {

class TraversalTest : public InterfaceTest
{
protected:
    // Root a with x='1' and y='2', the text hi, then an empty child b.
    int exampleDocument()
    {
        const int id = newDocument("a");
        EXPECT_EQ(gen__qtxmlif_add_attr("x", "1"), GEN_QTXMLIF_OK);
        EXPECT_EQ(gen__qtxmlif_add_attr("y", "2"), GEN_QTXMLIF_OK);
        EXPECT_EQ(gen__qtxmlif_add_text("hi"), GEN_QTXMLIF_OK);
        EXPECT_EQ(gen__qtxmlif_add_node("b"), GEN_QTXMLIF_OK);
        return id;
    }

    static std::vector<Entity> exampleWalk()
    {
        return { start("a", 0), attr("x", "1", 0), attr("y", "2", 0), text("hi", 0), start("b", 1),
            finish("b", 1), finish("a", 0, GEN_QTXMLIF_END) };
    }

    static std::string nodeName(void *handle)
    {
        return XmlManager::instance().cursors().live(handle)->nodeName().toStdString();
    }

    static bool answer(int (*question)(int, bool *), int id, int *status)
    {
        bool result = true;
        *status = question(id, &result);
        return result;
    }
};

} // namespace

TEST_F(TraversalTest, RootOnly)
{
    const int id = newDocument();
    void *handle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &handle), GEN_QTXMLIF_OK);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(nodeName(handle), "root");
    EXPECT_EQ(next(id), start("root", 0));
    EXPECT_EQ(next(id), finish("root", 0, GEN_QTXMLIF_END));
    EXPECT_EQ(next(id), none());
    EXPECT_EQ(next(id), none());
    EXPECT_EQ(gen__qtxmlif_end_traversion(id), GEN_QTXMLIF_OK);
    EXPECT_TRUE(noRecords());
}

TEST_F(TraversalTest, AttributesTextAndAnEmptyChild)
{
    const int id = exampleDocument();
    void *handle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "", &handle), GEN_QTXMLIF_OK);
    EXPECT_EQ(nodeName(handle), "a");
    EXPECT_EQ(sortedAttributes(rest(id)), exampleWalk());
    EXPECT_EQ(next(id), none());
    EXPECT_TRUE(noRecords());

    // The attributes come in the order they were added.
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, nullptr), GEN_QTXMLIF_OK);
    next(id);
    EXPECT_EQ(next(id).name, "x");
    EXPECT_EQ(next(id).name, "y");
}

TEST_F(TraversalTest, TheSameDocumentLoadedFromAFile)
{
    const int id = loadText("<a x='1' y='2'>hi<b/></a>");
    EXPECT_EQ(walk(id), exampleWalk());
}

TEST_F(TraversalTest, BeginAtANamedElement)
{
    const int id = exampleDocument();
    void *handle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "b", &handle), GEN_QTXMLIF_OK);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(nodeName(handle), "b");
    EXPECT_TRUE(XmlManager::instance().cursors().isTraversal(handle));
    EXPECT_EQ(next(id), finish("b", 1));
    EXPECT_EQ(next(id), finish("a", 0, GEN_QTXMLIF_END));
    EXPECT_EQ(next(id), none());
    EXPECT_TRUE(noRecords());
}

TEST_F(TraversalTest, BeginAtANamedElementRunsOnToTheEndOfTheRoot)
{
    const int id = loadText("<r><a><b k='v'><c/>t</b><d/></a><e/></r>");
    void *handle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "b", &handle), GEN_QTXMLIF_OK);
    EXPECT_EQ(nodeName(handle), "b");
    EXPECT_EQ(rest(id),
        (std::vector<Entity> { attr("k", "v", 2), start("c", 3), finish("c", 3), text("t", 2),
            finish("b", 2), start("d", 2), finish("d", 2), finish("a", 1), start("e", 1),
            finish("e", 1), finish("r", 0, GEN_QTXMLIF_END) }));
}

TEST_F(TraversalTest, BeginWithTheRootsNameStandsBeforeTheRoot)
{
    const int id = exampleDocument();
    void *handle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "a", &handle), GEN_QTXMLIF_OK);
    EXPECT_EQ(nodeName(handle), "a");
    EXPECT_EQ(sortedAttributes(rest(id)), exampleWalk());
}

TEST_F(TraversalTest, BeginComparesOnlyElementStartsExactly)
{
    // Text, attributes, comments and processing instructions named like the
    // start name do not match; nor does a name in another letter case.
    const int id = loadText("<a b='1'>b<!--b--><?b x?><B/><c><b/></c></a>");
    void *handle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "b", &handle), GEN_QTXMLIF_OK);
    EXPECT_EQ(nodeName(handle), "b");
    EXPECT_EQ(XmlManager::instance().cursors().live(handle)->node().parentNode().nodeName(),
        QStringLiteral("c"));
    EXPECT_EQ(next(id), finish("b", 2));
    EXPECT_EQ(next(id), finish("c", 1));
    EXPECT_EQ(next(id), finish("a", 0, GEN_QTXMLIF_END));
}

TEST_F(TraversalTest, BeginWithAnUnknownName)
{
    const int id = exampleDocument();
    void *handle = reinterpret_cast<void *>(0x1234);
    EXPECT_EQ(gen__qtxmlif_begin_traversion(id, "nothing", &handle), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(handle, nullptr);
    EXPECT_TRUE(noRecords());
    EXPECT_EQ(next(id), none());
    bool more = true;
    EXPECT_EQ(gen__qtxmlif_has_next_attr(id, &more), GEN_QTXMLIF_EINVAL);
    EXPECT_FALSE(more);
    EXPECT_EQ(gen__qtxmlif_end_traversion(id), GEN_QTXMLIF_OK);
}

TEST_F(TraversalTest, AFailedBeginEndsARunningWalk)
{
    const int id = exampleDocument();
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, nullptr), GEN_QTXMLIF_OK);
    next(id);
    EXPECT_EQ(gen__qtxmlif_begin_traversion(id, "B", nullptr), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(next(id), none());
}

TEST_F(TraversalTest, NextBeforeAnyBegin)
{
    const int id = exampleDocument();
    const std::size_t made = recorder::copiesMade();
    EXPECT_EQ(next(id), none());
    EXPECT_EQ(recorder::copiesMade(), made + 2);
    EXPECT_TRUE(noRecords());
    // Building goes on: nothing was begun.
    EXPECT_EQ(gen__qtxmlif_add_node("c"), GEN_QTXMLIF_OK);
}

TEST_F(TraversalTest, EndWithoutAWalk)
{
    const int id = exampleDocument();
    EXPECT_EQ(gen__qtxmlif_end_traversion(id), GEN_QTXMLIF_OK);
    EXPECT_EQ(gen__qtxmlif_end_traversion(id), GEN_QTXMLIF_OK);
    EXPECT_TRUE(noRecords());
}

TEST_F(TraversalTest, EndInTheMiddleReleasesTheWholeChain)
{
    const int id = loadText("<r><a><b><c/></b></a></r>");
    void *handle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "c", &handle), GEN_QTXMLIF_OK);
    EXPECT_TRUE(XmlManager::instance().cursors().isTraversal(handle));
    EXPECT_EQ(gen__qtxmlif_end_traversion(id), GEN_QTXMLIF_OK);
    EXPECT_FALSE(XmlManager::instance().cursors().isTraversal(handle));
    EXPECT_EQ(next(id), none());
}

TEST_F(TraversalTest, ASecondBeginDuringAWalkStartsAfresh)
{
    const int id = loadText("<r><a><b><c/></b></a></r>");
    void *old = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "c", &old), GEN_QTXMLIF_OK);
    void *handle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &handle), GEN_QTXMLIF_OK);
    // The old handle is gone (its memory may hold the new one).
    if (old != handle) {
        EXPECT_FALSE(XmlManager::instance().cursors().isTraversal(old));
    }
    EXPECT_EQ(nodeName(handle), "r");
    EXPECT_EQ(rest(id),
        (std::vector<Entity> { start("r", 0), start("a", 1), start("b", 2), start("c", 3),
            finish("c", 3), finish("b", 2), finish("a", 1), finish("r", 0, GEN_QTXMLIF_END) }));
}

TEST_F(TraversalTest, TheHandleGoesWhenItsElementEnds)
{
    const int id = exampleDocument();
    void *handle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "b", &handle), GEN_QTXMLIF_OK);
    EXPECT_EQ(next(id), finish("b", 1));
    EXPECT_FALSE(XmlManager::instance().cursors().isTraversal(handle));
    // The queries refuse it now.
    char *name = nullptr;
    void *child = nullptr;
    EXPECT_EQ(gen__qtxmlif_get_next_child_node(id, handle, &name, &child), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(child, nullptr);
    EXPECT_EQ(name, nullptr);
}

TEST_F(TraversalTest, TheHeldHandleStaysLiveWhileTheWalkGoesDeepBelowIt)
{
    // a holds a chain of 300 elements: the walk's chain grows far past the
    // handle's place and shrinks again while the caller still holds it.
    QByteArray xml = "<r><a>";
    for (int i = 0; i < 300; ++i)
        xml += "<e>";
    for (int i = 0; i < 300; ++i)
        xml += "</e>";
    xml += "<z/></a></r>";
    const int id = loadText(xml);
    void *handle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "a", &handle), GEN_QTXMLIF_OK);
    const CursorRegistry &cursors = XmlManager::instance().cursors();

    Entity entity = next(id);
    int deepest = 0;
    while (!(entity.name == "e" && entity.end && entity.depth == 2)) {
        ASSERT_EQ(entity.status, GEN_QTXMLIF_OK);
        deepest = std::max(deepest, entity.depth);
        // Only the handle the caller holds is listed, however deep the walk.
        ASSERT_EQ(cursors.traversalCount(), 1u);
        ASSERT_TRUE(cursors.isTraversal(handle));
        entity = next(id);
    }
    EXPECT_EQ(deepest, 301);
    EXPECT_EQ(nodeName(handle), "a");
    void *z = nullptr;
    int depth = -1;
    EXPECT_EQ(gen__qtxmlif_get_named_child_node(id, handle, "z", &z, &depth), GEN_QTXMLIF_OK);
    EXPECT_NE(z, nullptr);
    EXPECT_EQ(depth, 2);
    gen__qtxmlif_delete_node(&z);

    EXPECT_EQ(rest(id),
        (std::vector<Entity> {
            start("z", 2), finish("z", 2), finish("a", 1), finish("r", 0, GEN_QTXMLIF_END) }));
    EXPECT_EQ(cursors.traversalCount(), 0u);
    EXPECT_TRUE(noRecords());
}

TEST_F(TraversalTest, HasNextAttribute)
{
    const int id = exampleDocument();
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, nullptr), GEN_QTXMLIF_OK);
    int status = -1;
    // Not yet opened: 0 although the root has attributes.
    EXPECT_FALSE(answer(gen__qtxmlif_has_next_attr, id, &status));
    EXPECT_EQ(status, GEN_QTXMLIF_OK);
    EXPECT_FALSE(answer(gen__qtxmlif_has_next_child, id, &status));
    EXPECT_EQ(status, GEN_QTXMLIF_OK);
    next(id); // start of a
    EXPECT_TRUE(answer(gen__qtxmlif_has_next_attr, id, &status));
    next(id);
    EXPECT_TRUE(answer(gen__qtxmlif_has_next_attr, id, &status));
    next(id);
    EXPECT_FALSE(answer(gen__qtxmlif_has_next_attr, id, &status));
    EXPECT_EQ(status, GEN_QTXMLIF_OK);
    EXPECT_EQ(next(id), text("hi", 0));
    EXPECT_EQ(next(id), start("b", 1));
    // b has no attributes and no children.
    EXPECT_FALSE(answer(gen__qtxmlif_has_next_attr, id, &status));
    EXPECT_FALSE(answer(gen__qtxmlif_has_next_child, id, &status));
    EXPECT_EQ(status, GEN_QTXMLIF_OK);
    EXPECT_EQ(next(id), finish("b", 1));
    // Back in a, whose children have all been delivered.
    EXPECT_FALSE(answer(gen__qtxmlif_has_next_child, id, &status));
    EXPECT_EQ(status, GEN_QTXMLIF_OK);
    EXPECT_TRUE(noRecords());

    EXPECT_EQ(next(id), finish("a", 0, GEN_QTXMLIF_END));
    EXPECT_TRUE(answer(gen__qtxmlif_has_next_attr, id, &status) == false);
    EXPECT_EQ(status, GEN_QTXMLIF_EINVAL);
    EXPECT_TRUE(
        onlyError("XML document ID " + std::to_string(id) + " not found or illegal XML entity."));
    recorder::clear();
    EXPECT_FALSE(answer(gen__qtxmlif_has_next_child, id, &status));
    EXPECT_EQ(status, GEN_QTXMLIF_EINVAL);
    EXPECT_TRUE(
        onlyError("XML document ID " + std::to_string(id) + " not found or illegal XML entity."));
}

TEST_F(TraversalTest, HasNextChildCountsTextAndOtherNodes)
{
    const int id = loadText("<a><t>only text</t><c><!--note--></c></a>");
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "t", nullptr), GEN_QTXMLIF_OK);
    int status = -1;
    EXPECT_TRUE(answer(gen__qtxmlif_has_next_child, id, &status));
    EXPECT_EQ(status, GEN_QTXMLIF_OK);
    EXPECT_EQ(next(id), text("only text", 1));
    EXPECT_FALSE(answer(gen__qtxmlif_has_next_child, id, &status));
    EXPECT_EQ(next(id), finish("t", 1));
    EXPECT_EQ(next(id), start("c", 1));
    // The comment is a child, though the walk passes over it.
    EXPECT_TRUE(answer(gen__qtxmlif_has_next_child, id, &status));
    EXPECT_EQ(next(id), finish("c", 1));
    EXPECT_TRUE(noRecords());
    EXPECT_EQ(gen__qtxmlif_end_traversion(id), GEN_QTXMLIF_OK);
    // No walk: no element.
    EXPECT_FALSE(answer(gen__qtxmlif_has_next_child, id, &status));
    EXPECT_EQ(status, GEN_QTXMLIF_EINVAL);
}

TEST_F(TraversalTest, AnEmptyAttributeValue)
{
    const int id = loadText("<a><b e=''/></a>");
    EXPECT_EQ(walk(id),
        (std::vector<Entity> { start("a", 0), start("b", 1), attr("e", "", 1), finish("b", 1),
            finish("a", 0, GEN_QTXMLIF_END) }));
}

TEST_F(TraversalTest, CommentsAndProcessingInstructionsAreSkippedCdataIsText)
{
    const int id = loadText("<?xml version='1.0'?><!--before--><?app before?>"
                            "<a>one<!--c--><?pi data?><![CDATA[<two> & ]]><b/><!--last--></a>"
                            "<!--after-->");
    EXPECT_EQ(walk(id),
        (std::vector<Entity> { start("a", 0), text("one", 0), text("<two> & ", 0), start("b", 1),
            finish("b", 1), finish("a", 0, GEN_QTXMLIF_END) }));
    // An element holding only a comment has nothing to deliver.
    const int other = loadText("<a><!--c--></a>");
    EXPECT_EQ(
        walk(other), (std::vector<Entity> { start("a", 0), finish("a", 0, GEN_QTXMLIF_END) }));
    EXPECT_TRUE(noRecords());
}

TEST_F(TraversalTest, NamesAreWholeTagNamesAndTextIsLocal8Bit)
{
    const int id = loadText("<p:a xmlns:p='urn:p' p:k='v'>gr\xc3\xbc\xc3\x9f"
                            "<p:b/></p:a>");
    // With namespace processing, namespace declarations are no attributes.
    EXPECT_EQ(walk(id),
        (std::vector<Entity> { start("p:a", 0), attr("p:k", "v", 0), text("gr\xc3\xbc\xc3\x9f", 0),
            start("p:b", 1), finish("p:b", 1), finish("p:a", 0, GEN_QTXMLIF_END) }));
}

TEST_F(TraversalTest, DepthsOfADeeperDocument)
{
    const int id = newDocument("r");
    ASSERT_EQ(gen__qtxmlif_open_node("a"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_node("b"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("k", "v"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_text("deep"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_close_node(), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_node("c"), GEN_QTXMLIF_OK);
    EXPECT_EQ(walk(id),
        (std::vector<Entity> { start("r", 0), start("a", 1), start("b", 2), attr("k", "v", 2),
            text("deep", 2), finish("b", 2), start("c", 2), finish("c", 2), finish("a", 1),
            finish("r", 0, GEN_QTXMLIF_END) }));
}

TEST_F(TraversalTest, BeginDropsTheBuildingState)
{
    const int id = newDocument("r");
    ASSERT_EQ(gen__qtxmlif_open_node("a"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_node("b"), GEN_QTXMLIF_OK);
    const XmlDocument *doc = XmlManager::instance().findDocument(id);
    ASSERT_EQ(doc->levelCount(), 2);
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, nullptr), GEN_QTXMLIF_OK);
    EXPECT_EQ(doc->levelCount(), 0);
    EXPECT_TRUE(doc->currentNode().isNull());
    EXPECT_EQ(gen__qtxmlif_add_node("x"), GEN_QTXMLIF_EINVAL);
    EXPECT_TRUE(onlyAssertion("result == true"));
    recorder::clear();
    // Also after the walk has been ended.
    ASSERT_EQ(gen__qtxmlif_end_traversion(id), GEN_QTXMLIF_OK);
    EXPECT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_EINVAL);
    EXPECT_TRUE(onlyAssertion("result == true"));
}

TEST_F(TraversalTest, EveryFunctionMakesItsDocumentWorking)
{
    const int id = exampleDocument();
    const int other = newDocument();
    bool answer = false;
    const std::vector<std::function<void()>> calls = {
        [&] { gen__qtxmlif_begin_traversion(id, nullptr, nullptr); },
        [&] { next(id); },
        [&] { gen__qtxmlif_has_next_attr(id, &answer); },
        [&] { gen__qtxmlif_has_next_child(id, &answer); },
        [&] { gen__qtxmlif_end_traversion(id); },
    };
    for (const auto &call : calls) {
        gen__qtxmlif_set_working_document(other);
        call();
        EXPECT_EQ(XmlManager::instance().workingDocument(), id);
    }
    // Unknown IDs leave the working document alone.
    gen__qtxmlif_set_working_document(other);
    gen__qtxmlif_end_traversion(987654);
    EXPECT_EQ(XmlManager::instance().workingDocument(), other);
}

TEST_F(TraversalTest, AnUnknownDocument)
{
    const int id = newDocument();
    ASSERT_EQ(gen__qtxmlif_del_document(id), GEN_QTXMLIF_OK);
    const std::string message = "XML document ID " + std::to_string(id) + " not found";

    void *handle = reinterpret_cast<void *>(0x1234);
    EXPECT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &handle), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_EQ(handle, nullptr);
    EXPECT_TRUE(onlyError(message));
    recorder::clear();

    int type = 7;
    char *name = reinterpret_cast<char *>(0x1234);
    char *value = reinterpret_cast<char *>(0x1234);
    int depth = 7;
    bool end = true;
    const std::size_t made = recorder::copiesMade();
    EXPECT_EQ(gen__qtxmlif_get_next_entity(id, &type, &name, &value, &depth, &end),
        GEN_QTXMLIF_ENOTFOUND);
    EXPECT_EQ(type, XML_ETYPE_NONE);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(value, nullptr);
    EXPECT_EQ(depth, -1);
    EXPECT_FALSE(end);
    EXPECT_EQ(recorder::copiesMade(), made);
    EXPECT_TRUE(onlyError(message));
    recorder::clear();

    EXPECT_EQ(gen__qtxmlif_end_traversion(id), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_TRUE(onlyError(message));
    recorder::clear();

    bool answer = true;
    EXPECT_EQ(gen__qtxmlif_has_next_attr(id, &answer), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_FALSE(answer);
    EXPECT_TRUE(onlyError(message));
    recorder::clear();
    answer = true;
    EXPECT_EQ(gen__qtxmlif_has_next_child(id, &answer), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_FALSE(answer);
    EXPECT_TRUE(onlyError(message));
    recorder::clear();

    EXPECT_EQ(gen__qtxmlif_begin_traversion(-1, nullptr, nullptr), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_TRUE(onlyError("XML document ID -1 not found"));
}

TEST_F(TraversalTest, OutputsBelowTheThresholdAreNotWritten)
{
    const int id = exampleDocument();
    void **smallHandle = reinterpret_cast<void **>(1000);
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, reinterpret_cast<const char *>(5), smallHandle),
        GEN_QTXMLIF_OK);
    const std::size_t made = recorder::copiesMade();
    // Nothing given: the walk still advances, and no copy is made.
    EXPECT_EQ(gen__qtxmlif_get_next_entity(id, nullptr, nullptr, nullptr, nullptr, nullptr),
        GEN_QTXMLIF_OK);
    EXPECT_EQ(gen__qtxmlif_get_next_entity(id, reinterpret_cast<int *>(1), nullptr,
                  reinterpret_cast<char **>(999), nullptr, reinterpret_cast<bool *>(1000)),
        GEN_QTXMLIF_OK);
    EXPECT_EQ(recorder::copiesMade(), made);
    // Only the name given: one copy.
    char *name = nullptr;
    EXPECT_EQ(gen__qtxmlif_get_next_entity(id, nullptr, &name, nullptr, nullptr, nullptr),
        GEN_QTXMLIF_OK);
    EXPECT_EQ(recorder::take(name), "y");
    EXPECT_EQ(recorder::copiesMade(), made + 1);
    EXPECT_EQ(gen__qtxmlif_has_next_attr(id, nullptr), GEN_QTXMLIF_OK);
    EXPECT_EQ(gen__qtxmlif_has_next_child(id, reinterpret_cast<bool *>(1000)), GEN_QTXMLIF_OK);
    EXPECT_EQ(next(id), text("hi", 0));
    EXPECT_TRUE(noRecords());
}

TEST_F(TraversalTest, DeletingADocumentDuringAWalk)
{
    const int id = loadText("<r><a><b/></a></r>");
    void *handle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "b", &handle), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_del_document(id), GEN_QTXMLIF_OK);
    EXPECT_FALSE(XmlManager::instance().cursors().isTraversal(handle));
    EXPECT_EQ(next(id).status, GEN_QTXMLIF_ENOTFOUND);
}

TEST_F(TraversalTest, CopiesOfEveryLengthComeBackWhole)
{
    // Short copies are converted on the stack and long ones on the heap;
    // these lengths lie on both sides of that line, in one, two, three and
    // four bytes per character.
    const std::string pieces[] = { "a", "\xc3\xbc", "\xe2\x82\xac", "\xf0\x9f\x98\x80" };
    std::vector<std::string> values;
    for (const std::string &piece : pieces) {
        for (const int count : { 0, 1, 200, 255, 256, 340, 341, 342, 400, 5000 }) {
            std::string value;
            for (int i = 0; i < count; ++i)
                value += piece;
            values.push_back(value);
        }
    }
    const int id = newDocument("r");
    std::vector<Entity> expected { start("r", 0) };
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string name = "e" + std::to_string(i);
        ASSERT_EQ(gen__qtxmlif_add_node(name.c_str()), GEN_QTXMLIF_OK);
        ASSERT_EQ(gen__qtxmlif_open_level(), GEN_QTXMLIF_OK);
        ASSERT_EQ(gen__qtxmlif_add_attr("v", values[i].c_str()), GEN_QTXMLIF_OK);
        expected.push_back(start(name, 1));
        expected.push_back(attr("v", values[i], 1));
        if (!values[i].empty()) {
            ASSERT_EQ(gen__qtxmlif_add_text(values[i].c_str()), GEN_QTXMLIF_OK);
            expected.push_back(text(values[i], 1));
        }
        expected.push_back(finish(name, 1));
        ASSERT_EQ(gen__qtxmlif_close_level(), GEN_QTXMLIF_OK);
    }
    expected.push_back(finish("r", 0, GEN_QTXMLIF_END));
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, nullptr), GEN_QTXMLIF_OK);
    EXPECT_EQ(rest(id), expected);
}
