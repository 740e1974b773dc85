// SPDX-License-Identifier: MIT
// The entity walk: the sequence of entities a document yields, where a walk
// begins, and what ends or restarts it.
#include "Api.h"

namespace {

struct Walk
{
    const char *xml;
    const char *start;
    const char *entities;
};

const Walk kWalks[] = {
    { "<r k=\"v\">hi<!--c--><?pi x?><![CDATA[cd]]><a/>tail</r>", nullptr,
        "<r:0 @k=v:0 \"hi\":0 \"cd\":0 <a:1 </a:1 \"tail\":0 </r:0 END" },
    { "<r e=''/>", nullptr, "<r:0 @e=:0 </r:0 END" },
    { "<r><![CDATA[]]></r>", nullptr, "<r:0 \"\":0 </r:0 END" },
    { "<r><a><b>t</b></a><c/></r>", nullptr,
        "<r:0 <a:1 <b:2 \"t\":2 </b:2 </a:1 <c:1 </c:1 </r:0 END" },
    { "<r><x/><a k='1'><b/></a><c/></r>", "a", "@k=1:1 <b:2 </b:2 </a:1 <c:1 </c:1 </r:0 END" },
    { "<r><x/><a><b/></a></r>", "b", "</b:2 </a:1 </r:0 END" },
    { "<r><x/></r>", "r", "<r:0 <x:1 </x:1 </r:0 END" },
    { "<r><x/></r>", "", "<r:0 <x:1 </x:1 </r:0 END" },
    { "<r>J\xc3\xbcrg &amp; \xe2\x82\xac</r>", nullptr,
        "<r:0 \"J\xc3\xbcrg & \xe2\x82\xac\":0 </r:0 END" },
    { "<ns:r xmlns:ns='urn:x'><ns:a/></ns:r>", nullptr, "<ns:r:0 <ns:a:1 </ns:a:1 </ns:r:0 END" },
    { "<!DOCTYPE r [<!ENTITY e \"v\">]><r>&e;</r>", nullptr, "<r:0 \"v\":0 </r:0 END" },
};

class Walks : public Api, public ::testing::WithParamInterface<Walk>
{
};

TEST_P(Walks, DeliverTheEntitiesInDocumentOrder)
{
    const int id = load(GetParam().xml);
    EXPECT_EQ(walk(id, GetParam().start), GetParam().entities);
    EXPECT_EQ(takeRecords(), Records {});
}

void PrintTo(const Walk &walk, std::ostream *out)
{
    *out << walk.xml;
}

INSTANTIATE_TEST_SUITE_P(Files, Walks, ::testing::ValuesIn(kWalks), RowName());

TEST_F(Api, CopiesOfEveryLengthComeBackWhole)
{
    for (int length = 338; length < 346; ++length) {
        std::string euros;
        for (int i = 0; i < length; ++i)
            euros += "\xe2\x82\xac";
        const int id = doc("r");
        ASSERT_EQ(gen__qtxmlif_add_text(euros.c_str()), 0);
        EXPECT_EQ(walk(id), "<r:0 \"" + euros + "\":0 </r:0 END") << length;
    }
}

TEST_F(Api, WhatEndsAndRestartsAWalk)
{
    const int id = load("<r><a k='v'><b/></a><c/></r>");
    EXPECT_EQ(next(id), "- END") << "before any begin";
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, nullptr), 0);
    EXPECT_EQ(next(id), "<r:0");
    EXPECT_EQ(next(id), "<a:1");
    EXPECT_EQ(walk(id), "<r:0 <a:1 @k=v:1 <b:2 </b:2 </a:1 <c:1 </c:1 </r:0 END") << "begun again";

    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "b", nullptr), 0);
    EXPECT_EQ(gen__qtxmlif_end_traversion(id), 0);
    EXPECT_EQ(next(id), "- END") << "ended";
    EXPECT_EQ(gen__qtxmlif_end_traversion(id), 0) << "ended again";

    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "a", nullptr), 0);
    // Start names are element names, compared exactly; no record for a miss.
    for (const char *name : { "k", "A", "zz" }) {
        void *handle = reinterpret_cast<void *>(5555);
        EXPECT_EQ(gen__qtxmlif_begin_traversion(id, name, &handle), GEN_QTXMLIF_EINVAL) << name;
        EXPECT_EQ(handle, nullptr);
    }
    EXPECT_EQ(next(id), "- END") << "after a failed begin";
    EXPECT_EQ(takeRecords(), Records {});

    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, nullptr), 0);
    ASSERT_EQ(gen__qtxmlif_del_document(id), 0);
    EXPECT_EQ(next(id), "-(null) status 14606");
}

// The walk's handle finds its element until the walk delivers that element's end.
TEST_F(Api, TheWalkHandleLastsUntilItsElementEnds)
{
    const int id = load("<r><a k='v'><b/></a><c/></r>");
    void *handle = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "a", &handle), 0);
    for (const char *entity : { "@k=v:1", "<b:2", "</b:2", "</a:1" }) {
        char *value = nullptr;
        bool found = false;
        EXPECT_EQ(gen__qtxmlif_get_named_attribute(id, handle, "k", &value, &found), 0) << entity;
        EXPECT_EQ(take(value), "v");
        EXPECT_EQ(next(id), entity);
    }
    EXPECT_EQ(
        gen__qtxmlif_get_named_attribute(id, handle, "k", nullptr, nullptr), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(next(id), "<c:1");
}

} // namespace
