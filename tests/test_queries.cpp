// Node queries through cursor handles, handle release, and the
// document as a string against the saved file.
#include "ReadingSupport.h"

#include "NodeCursor.h"

#include <QDomElement>

using namespace reading;

namespace {

const char childCheck[] = "(*child != parent) && !isTraversalHandle(*child)";

class QueryTest : public InterfaceTest
{
protected:
    // The walk's handle on the root, no entity consumed.
    static void *rootHandle(int id)
    {
        void *handle = nullptr;
        EXPECT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &handle), GEN_QTXMLIF_OK);
        return handle;
    }

    // Next child query; returns the child's name ("" for none) and checks the
    // name copy is handed out exactly when a child is.
    static std::string nextChild(int id, void *parent, void **child, int expectStatus = 0)
    {
        char *name = reinterpret_cast<char *>(0x1234);
        const int status = gen__qtxmlif_get_next_child_node(id, parent, &name, child);
        EXPECT_EQ(status, expectStatus);
        if (!*child) {
            EXPECT_EQ(name, nullptr);
            return std::string();
        }
        EXPECT_TRUE(recorder::isLiveCopy(name));
        return recorder::take(name);
    }

    static std::string nameOf(void *handle)
    {
        return XmlManager::instance().cursors().live(handle)->nodeName().toStdString();
    }

    static bool isQuery(void *handle) { return XmlManager::instance().cursors().isQuery(handle); }

    // Reads an attribute: {status, found, value}.
    static std::tuple<int, bool, std::string> attribute(int id, void *handle, const char *name)
    {
        char *value = reinterpret_cast<char *>(0x1234);
        bool found = true;
        const int status = gen__qtxmlif_get_named_attribute(id, handle, name, &value, &found);
        if (status != GEN_QTXMLIF_OK) {
            EXPECT_TRUE(value == nullptr || value == reinterpret_cast<char *>(0x1234));
            return { status, found, "<none>" };
        }
        EXPECT_TRUE(recorder::isLiveCopy(value));
        return { status, found, recorder::take(value) };
    }
};

} // namespace

TEST_F(QueryTest, NextChildSkipsTextsAndFinishes)
{
    const int id = loadText("<a>hi<b/>there<c/></a>");
    void *a = rootHandle(id);
    void *child = nullptr;
    EXPECT_EQ(nextChild(id, a, &child), "b");
    void *b = child;
    EXPECT_TRUE(isQuery(b));
    EXPECT_EQ(nextChild(id, a, &child), "c");
    // The same variable: the handle on b was released first.
    EXPECT_EQ(nameOf(child), "c");
    void *c = child;
    EXPECT_EQ(nextChild(id, a, &child), "");
    EXPECT_EQ(child, nullptr);
    EXPECT_FALSE(isQuery(c)); // released, and no new handle was made
    EXPECT_TRUE(XmlManager::instance().cursors().live(a)->finished());
    EXPECT_EQ(nextChild(id, a, &child), "");
    EXPECT_EQ(child, nullptr);
    EXPECT_TRUE(noRecords());
}

TEST_F(QueryTest, OnlyTextChildrenYieldNothing)
{
    const int id = loadText("<a>one<![CDATA[two]]></a>");
    void *child = nullptr;
    EXPECT_EQ(nextChild(id, rootHandle(id), &child), "");
    EXPECT_EQ(child, nullptr);
}

TEST_F(QueryTest, CommentsAndProcessingInstructionsAreChildren)
{
    const int id = loadText("<a><!--note--><?pi data?><b/></a>");
    void *a = rootHandle(id);
    void *child = nullptr;
    EXPECT_EQ(nextChild(id, a, &child), "#comment");
    EXPECT_EQ(nextChild(id, a, &child), "pi");
    // A handle on a non-element has no children and no attributes.
    void *grandchild = nullptr;
    EXPECT_EQ(nextChild(id, child, &grandchild), "");
    EXPECT_EQ(attribute(id, child, "data"), std::make_tuple(0, false, std::string()));
    EXPECT_EQ(nextChild(id, a, &child), "b");
    gen__qtxmlif_delete_node(&child);
    EXPECT_EQ(child, nullptr);
}

TEST_F(QueryTest, QueryHandlesIterateOnTheirOwn)
{
    const int id = loadText("<a><b><x/><y/></b></a>");
    void *a = rootHandle(id);
    void *one = nullptr;
    void *two = nullptr;
    int depth = 0;
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, a, "b", &one, &depth), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, a, "b", &two, &depth), GEN_QTXMLIF_OK);
    ASSERT_NE(one, two);
    void *c1 = nullptr;
    void *c2 = nullptr;
    EXPECT_EQ(nextChild(id, one, &c1), "x");
    EXPECT_EQ(nextChild(id, one, &c1), "y");
    EXPECT_EQ(nextChild(id, two, &c2), "x");
    // The named query left the walk handle's iteration alone.
    EXPECT_FALSE(XmlManager::instance().cursors().live(a)->opened());
    // Handles may be released in any order: parents first.
    gen__qtxmlif_delete_node(&one);
    gen__qtxmlif_delete_node(&two);
    EXPECT_EQ(nameOf(c1), "y");
    EXPECT_EQ(nextChild(id, c1, &c2), "");
    gen__qtxmlif_delete_node(&c1);
    EXPECT_EQ(one, nullptr);
    EXPECT_EQ(two, nullptr);
    EXPECT_EQ(c1, nullptr);
}

TEST_F(QueryTest, NamedChildFirstMatchAndCase)
{
    const int id = loadText("<a><b n='1'/><B n='2'/><b n='3'/><!--x--></a>");
    void *a = rootHandle(id);
    void *child = nullptr;
    int depth = 7;
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, a, "b", &child, &depth), GEN_QTXMLIF_OK);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(attribute(id, child, "n"), std::make_tuple(0, true, std::string("1")));
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, a, "B", &child, &depth), GEN_QTXMLIF_OK);
    EXPECT_EQ(attribute(id, child, "n"), std::make_tuple(0, true, std::string("2")));
    // Any kind of node.
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, a, "#comment", &child, &depth), GEN_QTXMLIF_OK);
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(XmlManager::instance().cursors().live(child)->node().isComment());
    void *last = child;
    depth = 7;
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, a, "c", &child, &depth), GEN_QTXMLIF_OK);
    EXPECT_EQ(child, nullptr);
    EXPECT_EQ(depth, -1);
    EXPECT_FALSE(isQuery(last));
    // Only direct children.
    const int deep = loadText("<a><b><c/></b></a>");
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(deep, rootHandle(deep), "c", &child, &depth),
        GEN_QTXMLIF_OK);
    EXPECT_EQ(child, nullptr);
    EXPECT_TRUE(noRecords());
}

TEST_F(QueryTest, DepthsBelowTheRoot)
{
    const int id = loadText("<a><b><c><d/></c></b></a>");
    void *b = nullptr;
    void *c = nullptr;
    void *d = nullptr;
    int depth = -1;
    ASSERT_EQ(
        gen__qtxmlif_get_named_child_node(id, rootHandle(id), "b", &b, &depth), GEN_QTXMLIF_OK);
    EXPECT_EQ(depth, 1);
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, b, "c", &c, &depth), GEN_QTXMLIF_OK);
    EXPECT_EQ(depth, 2);
    EXPECT_EQ(nextChild(id, c, &d), "d");
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, c, "d", &d, &depth), GEN_QTXMLIF_OK);
    EXPECT_EQ(depth, 3);
    // Under a walk handle that stands deeper.
    void *walkHandle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "c", &walkHandle), GEN_QTXMLIF_OK);
    void *d2 = nullptr;
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, walkHandle, "d", &d2, &depth), GEN_QTXMLIF_OK);
    EXPECT_EQ(depth, 3);
    for (void **handle : { &b, &c, &d, &d2 })
        gen__qtxmlif_delete_node(handle);
}

TEST_F(QueryTest, NamedChildWithoutANameLooksNothingUp)
{
    const int id = loadText("<a><b/></a>");
    void *a = rootHandle(id);
    void *child = nullptr;
    int depth = 5;
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, a, "b", &child, &depth), GEN_QTXMLIF_OK);
    void *held = child;
    recorder::clear();
    depth = 5;
    EXPECT_EQ(gen__qtxmlif_get_named_child_node(987654, a, "", &child, &depth), GEN_QTXMLIF_OK);
    EXPECT_EQ(child, nullptr);
    EXPECT_EQ(depth, -1);
    EXPECT_FALSE(isQuery(held));
    depth = 5;
    EXPECT_EQ(
        gen__qtxmlif_get_named_child_node(987654, a, nullptr, &child, &depth), GEN_QTXMLIF_OK);
    EXPECT_EQ(depth, -1);
    EXPECT_TRUE(noRecords());
}

TEST_F(QueryTest, AnUnknownDocumentStillReleasesTheChildVariable)
{
    const int id = loadText("<a><b/><c/></a>");
    void *a = rootHandle(id);
    void *child = nullptr;
    EXPECT_EQ(nextChild(id, a, &child), "b");
    void *held = child;
    recorder::clear();
    const std::string message = "XML document ID 987654 not found";
    EXPECT_EQ(nextChild(987654, a, &child, GEN_QTXMLIF_ENOTFOUND), "");
    EXPECT_EQ(child, nullptr);
    EXPECT_FALSE(isQuery(held));
    EXPECT_TRUE(onlyError(message));
    recorder::clear();

    int depth = 5;
    EXPECT_EQ(nextChild(id, a, &child), "c");
    held = child;
    recorder::clear();
    EXPECT_EQ(
        gen__qtxmlif_get_named_child_node(987654, a, "b", &child, &depth), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_EQ(child, nullptr);
    EXPECT_EQ(depth, -1);
    EXPECT_FALSE(isQuery(held));
    EXPECT_TRUE(onlyError(message));
    // The walk handle's iteration was not touched by the failed calls.
    recorder::clear();
    EXPECT_EQ(nextChild(id, a, &child), "");
}

TEST_F(QueryTest, NamedAttribute)
{
    const int id = loadText("<a k='v' e='' u='gr\xc3\xbc\xc3\x9f'><b/></a>");
    void *a = rootHandle(id);
    EXPECT_EQ(attribute(id, a, "k"), std::make_tuple(0, true, std::string("v")));
    EXPECT_EQ(attribute(id, a, "e"), std::make_tuple(0, true, std::string()));
    EXPECT_EQ(attribute(id, a, "u"), std::make_tuple(0, true, std::string("gr\xc3\xbc\xc3\x9f")));
    EXPECT_EQ(attribute(id, a, "K"), std::make_tuple(0, false, std::string()));
    EXPECT_EQ(attribute(id, a, "missing"), std::make_tuple(0, false, std::string()));
    EXPECT_EQ(attribute(id, a, nullptr), std::make_tuple(0, false, std::string()));
    // The handle's iteration is neither read nor changed.
    EXPECT_FALSE(XmlManager::instance().cursors().live(a)->opened());
    // An element without attributes.
    void *b = nullptr;
    EXPECT_EQ(nextChild(id, a, &b), "b");
    EXPECT_EQ(attribute(id, b, "k"), std::make_tuple(0, false, std::string()));
    EXPECT_EQ(attribute(id, a, "k"), std::make_tuple(0, true, std::string("v")));
    gen__qtxmlif_delete_node(&b);
    EXPECT_EQ(sortedAttributes(rest(id)),
        (std::vector<Entity> { attr("e", "", 0), attr("k", "v", 0),
            attr("u", "gr\xc3\xbc\xc3\x9f", 0), finish("a", 0, GEN_QTXMLIF_END) }));
    EXPECT_TRUE(noRecords());
}

TEST_F(QueryTest, NamedAttributeWithoutAHandle)
{
    const int id = loadText("<a k='v'/>");
    for (void *handle : { static_cast<void *>(nullptr), reinterpret_cast<void *>(1000) }) {
        char *value = reinterpret_cast<char *>(0x1234);
        bool found = true;
        EXPECT_EQ(
            gen__qtxmlif_get_named_attribute(id, handle, "k", &value, &found), GEN_QTXMLIF_EINVAL);
        EXPECT_EQ(value, reinterpret_cast<char *>(0x1234));
        EXPECT_TRUE(found);
        EXPECT_TRUE(onlyAssertion("((unsigned int)(node_ptr) > 1000)"));
        recorder::clear();
    }
}

TEST_F(QueryTest, NamedAttributeOfAnUnknownDocument)
{
    const int id = loadText("<a k='v'/>");
    void *a = rootHandle(id);
    char *value = reinterpret_cast<char *>(0x1234);
    bool found = true;
    EXPECT_EQ(
        gen__qtxmlif_get_named_attribute(987654, a, "k", &value, &found), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_EQ(value, nullptr);
    EXPECT_FALSE(found);
    EXPECT_TRUE(onlyError("XML document ID 987654 not found"));
}

TEST_F(QueryTest, QueriesMakeTheirDocumentWorking)
{
    const int id = loadText("<a k='v'><b/></a>");
    const int other = newDocument();
    void *a = rootHandle(id);
    void *child = nullptr;
    gen__qtxmlif_set_working_document(other);
    nextChild(id, a, &child);
    EXPECT_EQ(XmlManager::instance().workingDocument(), id);
    gen__qtxmlif_set_working_document(other);
    int depth = 0;
    gen__qtxmlif_get_named_child_node(id, a, "b", &child, &depth);
    EXPECT_EQ(XmlManager::instance().workingDocument(), id);
    gen__qtxmlif_set_working_document(other);
    attribute(id, a, "k");
    EXPECT_EQ(XmlManager::instance().workingDocument(), id);
    gen__qtxmlif_delete_node(&child);
}

TEST_F(QueryTest, DeleteNode)
{
    gen__qtxmlif_delete_node(nullptr);
    gen__qtxmlif_delete_node(reinterpret_cast<void **>(1000));
    void *none = nullptr;
    gen__qtxmlif_delete_node(&none);
    EXPECT_EQ(none, nullptr);

    const int id = loadText("<a><b/></a>");
    void *a = rootHandle(id);
    void *child = nullptr;
    EXPECT_EQ(nextChild(id, a, &child), "b");
    void *held = child;
    gen__qtxmlif_delete_node(&child);
    EXPECT_EQ(child, nullptr);
    EXPECT_FALSE(isQuery(held));
    // The walk's handle is not the caller's to release.
    void *walkHandle = a;
    gen__qtxmlif_delete_node(&walkHandle);
    EXPECT_EQ(walkHandle, a);
    EXPECT_TRUE(XmlManager::instance().cursors().isTraversal(a));
    // Nor is a value that is no handle at all.
    int local = 0;
    void *made_up = &local;
    gen__qtxmlif_delete_node(&made_up);
    EXPECT_EQ(made_up, &local);
    EXPECT_TRUE(noRecords());
}

TEST_F(QueryTest, AChildVariableHoldingTheParentIsRefused)
{
    const int id = loadText("<a><b><c/></b></a>");
    void *a = rootHandle(id);
    void *b = nullptr;
    EXPECT_EQ(nextChild(id, a, &b), "b");
    ASSERT_TRUE(isQuery(b));
    recorder::clear();

    void *same = b;
    char *name = reinterpret_cast<char *>(0x1234);
    EXPECT_EQ(gen__qtxmlif_get_next_child_node(id, b, &name, &same), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(same, b);
    EXPECT_EQ(name, nullptr);
    EXPECT_TRUE(isQuery(b));
    EXPECT_TRUE(onlyAssertion(childCheck));
    recorder::clear();

    int depth = 5;
    EXPECT_EQ(gen__qtxmlif_get_named_child_node(id, b, "c", &same, &depth), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(same, b);
    EXPECT_EQ(depth, -1);
    EXPECT_TRUE(isQuery(b));
    EXPECT_TRUE(onlyAssertion(childCheck));
    recorder::clear();

    // Nothing was taken from b's iteration either.
    void *c = nullptr;
    EXPECT_EQ(nextChild(id, b, &c), "c");
    gen__qtxmlif_delete_node(&c);
    gen__qtxmlif_delete_node(&b);
}

TEST_F(QueryTest, AChildVariableHoldingAWalkHandleIsRefused)
{
    const int id = loadText("<a><b><c/></b><d/></a>");
    void *walkHandle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "b", &walkHandle), GEN_QTXMLIF_OK);
    // As the child variable of a query under another parent.
    void *b = nullptr;
    int depth = 0;
    const int other = loadText("<x><y/></x>");
    void *x = rootHandle(other);
    recorder::clear();
    void *variable = walkHandle;
    char *name = nullptr;
    EXPECT_EQ(gen__qtxmlif_get_next_child_node(other, x, &name, &variable), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(variable, walkHandle);
    EXPECT_TRUE(onlyAssertion(childCheck));
    recorder::clear();
    EXPECT_EQ(
        gen__qtxmlif_get_named_child_node(other, x, "y", &variable, &depth), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(variable, walkHandle);
    EXPECT_TRUE(onlyAssertion(childCheck));
    // The walk goes on unharmed.
    EXPECT_TRUE(XmlManager::instance().cursors().isTraversal(walkHandle));
    EXPECT_EQ(next(id), start("c", 2));
    EXPECT_EQ(b, nullptr);
}

TEST_F(QueryTest, TheNextChildQueryTakesChildrenFromTheWalk)
{
    const int id = loadText("<a k='v'><b/><c/>t<d/></a>");
    void *a = rootHandle(id);
    void *child = nullptr;
    // Opens a: the walk will not deliver its start.
    EXPECT_EQ(nextChild(id, a, &child), "b");
    gen__qtxmlif_delete_node(&child);
    EXPECT_EQ(rest(id),
        (std::vector<Entity> { attr("k", "v", 0), start("c", 1), finish("c", 1), text("t", 0),
            start("d", 1), finish("d", 1), finish("a", 0, GEN_QTXMLIF_END) }));
}

TEST_F(QueryTest, HandlesOfADeletedDocumentAreOrphans)
{
    const int id = loadText("<a k='v'><b><c/></b></a>");
    void *a = rootHandle(id);
    void *b = nullptr;
    EXPECT_EQ(nextChild(id, a, &b), "b");
    const int other = loadText("<x/>");
    ASSERT_EQ(gen__qtxmlif_del_document(id), GEN_QTXMLIF_OK);
    EXPECT_TRUE(isQuery(b));
    recorder::clear();
    // They are refused under any live document's ID.
    void *c = nullptr;
    EXPECT_EQ(nextChild(other, b, &c, GEN_QTXMLIF_EINVAL), "");
    EXPECT_TRUE(onlyAssertion("isLiveHandle(parent)"));
    recorder::clear();
    int depth = 5;
    EXPECT_EQ(gen__qtxmlif_get_named_child_node(other, b, "c", &c, &depth), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(c, nullptr);
    EXPECT_EQ(depth, -1);
    EXPECT_TRUE(onlyAssertion("isLiveHandle(parent)"));
    recorder::clear();
    EXPECT_EQ(std::get<0>(attribute(other, b, "k")), GEN_QTXMLIF_EINVAL);
    EXPECT_TRUE(onlyAssertion("((unsigned int)(node_ptr) > 1000)"));
    // The walk handle went with its document.
    recorder::clear();
    EXPECT_EQ(nextChild(other, a, &c, GEN_QTXMLIF_EINVAL), "");
    // But the caller still releases its own handle.
    gen__qtxmlif_delete_node(&b);
    EXPECT_EQ(b, nullptr);
}

TEST_F(QueryTest, AHandleTakenAfterEveryOtherWasReleasedIsOrphanedToo)
{
    // The document's handles drop to none and grow again before it goes.
    const int id = loadText("<a><b/><c/></a>");
    void *a = rootHandle(id);
    void *child = nullptr;
    EXPECT_EQ(nextChild(id, a, &child), "b");
    gen__qtxmlif_delete_node(&child);
    EXPECT_EQ(XmlManager::instance().cursors().queryCount(), 0u);
    EXPECT_EQ(nextChild(id, a, &child), "c");
    ASSERT_EQ(gen__qtxmlif_del_document(id), GEN_QTXMLIF_OK);
    EXPECT_TRUE(isQuery(child));
    EXPECT_EQ(XmlManager::instance().cursors().live(child), nullptr);
    gen__qtxmlif_delete_node(&child);
    EXPECT_EQ(child, nullptr);
    EXPECT_EQ(XmlManager::instance().cursors().queryCount(), 0u);
}

TEST_F(QueryTest, HandlesFoundWithAnotherDocumentsIdBelongToTheirOwnDocument)
{
    const int id = loadText("<a><b><c/></b></a>");
    const int other = loadText("<x/>");
    void *a = rootHandle(id);
    void *b = nullptr;
    // The handle stands in id's document, whatever ID the call names.
    EXPECT_EQ(nextChild(other, a, &b), "b");
    EXPECT_EQ(XmlManager::instance().workingDocument(), other);
    ASSERT_EQ(gen__qtxmlif_del_document(id), GEN_QTXMLIF_OK);
    void *c = nullptr;
    EXPECT_EQ(nextChild(other, b, &c, GEN_QTXMLIF_EINVAL), "");
    EXPECT_EQ(std::get<0>(attribute(other, b, "k")), GEN_QTXMLIF_EINVAL);
    gen__qtxmlif_delete_node(&b);
}

TEST_F(QueryTest, AbsentParentHandlesFindNothingUnknownOnesAreRefused)
{
    const int id = loadText("<a><b/></a>");
    int local = 0;
    for (void *parent : { static_cast<void *>(nullptr), reinterpret_cast<void *>(1000),
             static_cast<void *>(&local) }) {
        const int status = parent == &local ? GEN_QTXMLIF_EINVAL : GEN_QTXMLIF_OK;
        void *child = nullptr;
        EXPECT_EQ(nextChild(id, parent, &child, status), "");
        int depth = 5;
        EXPECT_EQ(gen__qtxmlif_get_named_child_node(id, parent, "b", &child, &depth), status);
        EXPECT_EQ(child, nullptr);
        EXPECT_EQ(depth, -1);
    }
    EXPECT_EQ(local, 0);
    EXPECT_EQ(recorder::records().size(), 2u);
    recorder::clear();
    // Any other value in the child variable is merely overwritten.
    void *a = rootHandle(id);
    void *child = &local;
    EXPECT_EQ(nextChild(id, a, &child), "b");
    gen__qtxmlif_delete_node(&child);
}

TEST_F(QueryTest, NoChildVariableReleasesTheNewHandleAtOnce)
{
    const int id = loadText("<a><b/><c/></a>");
    void *a = rootHandle(id);
    char *name = nullptr;
    EXPECT_EQ(gen__qtxmlif_get_next_child_node(id, a, &name, nullptr), GEN_QTXMLIF_OK);
    EXPECT_EQ(recorder::take(name), "b");
    int depth = 0;
    EXPECT_EQ(
        gen__qtxmlif_get_named_child_node(id, a, "c", reinterpret_cast<void **>(1000), &depth),
        GEN_QTXMLIF_OK);
    EXPECT_EQ(depth, 1);
    // No child name wanted: no copy made.
    const std::size_t made = recorder::copiesMade();
    void *child = nullptr;
    EXPECT_EQ(gen__qtxmlif_get_next_child_node(id, a, nullptr, &child), GEN_QTXMLIF_OK);
    EXPECT_EQ(nameOf(child), "c");
    EXPECT_EQ(recorder::copiesMade(), made);
    gen__qtxmlif_delete_node(&child);
}

TEST_F(QueryTest, DocToStringAgainstSave)
{
    const int id = newDocument("xmlRoot");
    ASSERT_EQ(gen__qtxmlif_open_node("a"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("k", "v"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_open_node("b"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_node("c"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_text("t"), GEN_QTXMLIF_OK);
    const int other = newDocument();
    gen__qtxmlif_set_working_document(other);

    QString text = QStringLiteral("previous");
    ASSERT_EQ(gen__qtxmlif_doc_to_string(id, &text), GEN_QTXMLIF_OK);
    EXPECT_EQ(text,
        QStringLiteral("<xmlRoot>\n"
                       "  <a k=\"v\">\n"
                       "    <b>\n"
                       "      <c/>t</b>\n"
                       "  </a>\n"
                       "</xmlRoot>\n"));
    EXPECT_EQ(XmlManager::instance().workingDocument(), other);
    const std::string path = tempPath("saved.xml");
    ASSERT_EQ(gen__qtxmlif_save(id, path.c_str()), GEN_QTXMLIF_OK);
    EXPECT_EQ(readFile(path),
        QByteArray("<?xml version='1.0' encoding='UTF-8'?>\n"
                   "<xmlRoot>\n"
                   "    <a k=\"v\">\n"
                   "        <b>\n"
                   "            <c/>t</b>\n"
                   "    </a>\n"
                   "</xmlRoot>\n"));
    EXPECT_TRUE(noRecords());

    QString fresh;
    ASSERT_EQ(gen__qtxmlif_doc_to_string(other, &fresh), GEN_QTXMLIF_OK);
    EXPECT_EQ(fresh, QStringLiteral("<root/>\n"));
}

TEST_F(QueryTest, DocToStringOfALoadedDocumentKeepsItsOwnDeclaration)
{
    const int id = loadText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a><b/></a>\n");
    QString text;
    ASSERT_EQ(gen__qtxmlif_doc_to_string(id, &text), GEN_QTXMLIF_OK);
    EXPECT_EQ(text, QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>\n<a>\n  <b/>\n</a>\n"));
}

TEST_F(QueryTest, DocToStringFailures)
{
    const int id = newDocument();
    EXPECT_EQ(gen__qtxmlif_doc_to_string(id, nullptr), GEN_QTXMLIF_EINVAL);
    EXPECT_TRUE(onlyAssertion("((unsigned int)(qstring_ptr) > 1000)"));
    recorder::clear();
    EXPECT_EQ(
        gen__qtxmlif_doc_to_string(id, reinterpret_cast<QString *>(1000)), GEN_QTXMLIF_EINVAL);
    EXPECT_TRUE(onlyAssertion("((unsigned int)(qstring_ptr) > 1000)"));
    recorder::clear();
    QString text = QStringLiteral("unchanged");
    EXPECT_EQ(gen__qtxmlif_doc_to_string(987654, &text), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_EQ(text, QStringLiteral("unchanged"));
    EXPECT_TRUE(onlyError("XML document ID 987654 not found"));
    EXPECT_EQ(XmlManager::instance().workingDocument(), id);
}
