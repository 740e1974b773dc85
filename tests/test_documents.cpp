#include "InterfaceTest.h"

#include "NodeCursor.h"

#include <QDomElement>

#include <climits>

using DocumentTest = InterfaceTest;

TEST_F(DocumentTest, NewDocumentHasRootElementAndBecomesWorking)
{
    const int a = newDocument(nullptr);
    const int b = newDocument("");
    const int c = newDocument("xmlRoot");
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(c, b + 1);
    EXPECT_EQ(dom(a).documentElement().tagName(), QStringLiteral("root"));
    EXPECT_EQ(dom(b).documentElement().tagName(), QStringLiteral("root"));
    EXPECT_EQ(dom(c).documentElement().tagName(), QStringLiteral("xmlRoot"));
    EXPECT_EQ(dom(c).documentElement().childNodes().count(), 0);
    EXPECT_EQ(XmlManager::instance().workingDocument(), c);
    EXPECT_TRUE(noRecords());
}

TEST_F(DocumentTest, AbsentIdPointerStillCreatesTheDocument)
{
    const int before = newDocument();
    for (int *pointer : { static_cast<int *>(nullptr), reinterpret_cast<int *>(1000) }) {
        ASSERT_EQ(gen__qtxmlif_add_document(pointer, "x"), GEN_QTXMLIF_OK);
        const int id = XmlManager::instance().workingDocument();
        adopt(id);
        EXPECT_GT(id, before);
        EXPECT_TRUE(gen__qtxmlif_document_exist(id));
    }
    EXPECT_TRUE(noRecords());
}

TEST_F(DocumentTest, WorkingDocumentFollowsCreationSelectionAndDeletion)
{
    const int one = newDocument();
    const int two = newDocument();
    EXPECT_EQ(XmlManager::instance().workingDocument(), two);
    gen__qtxmlif_set_working_document(one);
    EXPECT_EQ(XmlManager::instance().workingDocument(), one);

    // Deleting any document leaves none working, whichever was.
    ASSERT_EQ(gen__qtxmlif_del_document(two), GEN_QTXMLIF_OK);
    EXPECT_EQ(XmlManager::instance().workingDocument(), -1);
    EXPECT_EQ(gen__qtxmlif_add_node("kid"), GEN_QTXMLIF_ENODOC);
    EXPECT_TRUE(onlyAssertion("xmlManager.documentExist( doc_id )"));

    gen__qtxmlif_set_working_document(one);
    gen__qtxmlif_set_working_document(two); // deleted
    EXPECT_EQ(XmlManager::instance().workingDocument(), -1);
    gen__qtxmlif_set_working_document(one);
    gen__qtxmlif_set_working_document(-7);
    EXPECT_EQ(XmlManager::instance().workingDocument(), -1);
    gen__qtxmlif_set_working_document(one);
    gen__qtxmlif_set_working_document(INT_MAX);
    EXPECT_EQ(XmlManager::instance().workingDocument(), -1);
}

TEST_F(DocumentTest, DeletingAnUnknownIdFailsAndKeepsTheWorkingDocument)
{
    const int id = newDocument();
    recorder::clear();
    EXPECT_EQ(gen__qtxmlif_del_document(id + 1000), GEN_QTXMLIF_ENODOC);
    EXPECT_TRUE(onlyAssertion("removedDocID == doc_id"));
    EXPECT_EQ(XmlManager::instance().workingDocument(), id);

    // -1 names no document, and the removal reports exactly that.
    recorder::clear();
    EXPECT_EQ(gen__qtxmlif_del_document(-1), GEN_QTXMLIF_OK);
    EXPECT_TRUE(noRecords());
    EXPECT_EQ(XmlManager::instance().workingDocument(), id);

    ASSERT_EQ(gen__qtxmlif_del_document(id), GEN_QTXMLIF_OK);
    EXPECT_FALSE(gen__qtxmlif_document_exist(id));
    EXPECT_EQ(gen__qtxmlif_del_document(id), GEN_QTXMLIF_ENODOC);
}

TEST_F(DocumentTest, DocumentExist)
{
    const int id = newDocument();
    EXPECT_TRUE(gen__qtxmlif_document_exist(id));
    EXPECT_FALSE(gen__qtxmlif_document_exist(id + 1000));
    EXPECT_FALSE(gen__qtxmlif_document_exist(0));
    EXPECT_TRUE(noRecords());
    EXPECT_FALSE(gen__qtxmlif_document_exist(-1));
    EXPECT_TRUE(onlyAssertion("doc_id >= 0"));
    // Asking does not move the working document.
    EXPECT_EQ(XmlManager::instance().workingDocument(), id);
}

TEST(NodeCursorTest, EqualityIgnoresFinishedAndParent)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("r"));
    doc.appendChild(root);
    root.appendChild(doc.createElement(QStringLiteral("c")));

    EXPECT_TRUE(NodeCursor() == NodeCursor());
    NodeCursor a;
    a.setNode(root);
    NodeCursor copy = a;
    EXPECT_TRUE(copy == a);

    NodeCursor other(&a);
    other.setNode(root);
    other.setFinished();
    EXPECT_TRUE(other == a);
    EXPECT_EQ(other.parent(), &a);

    // Opening changes the iteration point, and with it equality.
    other.open();
    EXPECT_FALSE(other == a);
    NodeCursor elsewhere;
    elsewhere.setNode(root.firstChild());
    EXPECT_FALSE(elsewhere == a);
}
