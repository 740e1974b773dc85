// SPDX-License-Identifier: MIT
// The entity walk: the sequence of entities a document yields, where a walk
// begins, and what ends or restarts it.
#include "Api.h"

// Loads a file and walks it; with `saved`, also saves it, checks the bytes
// written and that the saved file walks alike.
TEST_P(LoadedFiles, WalkAndSave)
{
    const Loaded &row = GetParam();
    const int id = load(row.xml);
    EXPECT_EQ(walk(id, row.start), row.walk);
    if (row.saved) {
        ASSERT_EQ(gen__qtxmlif_save(id, path("saved.xml").c_str()), 0);
        EXPECT_EQ(readFile(path("saved.xml")),
            "<?xml version='1.0' encoding='UTF-8'?>\n" + std::string(row.saved));
        EXPECT_EQ(walk(load(readFile(path("saved.xml")).c_str())), row.walk);
    }
    EXPECT_EQ(takeRecords(), Records {});
}

const Loaded kWalks[] = {
    { "kinds of node", "<r k=\"v\">hi<!--c--><?pi x?><![CDATA[cd]]><a/>tail</r>", nullptr,
        "<r:0 @k=v:0 \"hi\":0 \"cd\":0 <a:1 </a:1 \"tail\":0 </r:0 END", nullptr },
    { "empty value and CDATA", "<r e=''><![CDATA[]]></r>", nullptr, "<r:0 @e=:0 \"\":0 </r:0 END",
        nullptr },
    { "depths", "<r><a><b>t</b></a><c/></r>", nullptr,
        "<r:0 <a:1 <b:2 \"t\":2 </b:2 </a:1 <c:1 </c:1 </r:0 END", nullptr },
    { "begun at an element", "<r><x/><a k='1'><b/></a><c/></r>", "a",
        "@k=1:1 <b:2 </b:2 </a:1 <c:1 </c:1 </r:0 END", nullptr },
    { "begun at a leaf", "<r><x/><a><b/></a></r>", "b", "</b:2 </a:1 </r:0 END", nullptr },
    { "begun at the root", "<r><x/></r>", "r", "<r:0 <x:1 </x:1 </r:0 END", nullptr },
    { "begun at \"\"", "<r><x/></r>", "", "<r:0 <x:1 </x:1 </r:0 END", nullptr },
    { "UTF-8 text", "<r>J\xc3\xbcrg &amp; \xe2\x82\xac</r>", nullptr,
        "<r:0 \"J\xc3\xbcrg & \xe2\x82\xac\":0 </r:0 END", nullptr },
    { "prefixed names", "<ns:r xmlns:ns='urn:x'><ns:a/></ns:r>", nullptr,
        "<ns:r:0 <ns:a:1 </ns:a:1 </ns:r:0 END", nullptr },
    { "entities", "<!DOCTYPE r [<!ENTITY e \"v\">]><r>&e;</r>", nullptr, "<r:0 \"v\":0 </r:0 END",
        nullptr },
};
INSTANTIATE_TEST_SUITE_P(Walks, LoadedFiles, ::testing::ValuesIn(kWalks), RowName());

namespace {

TEST_F(Api, WhatEndsAndRestartsAWalk)
{
    const int id = load("<r><a k='v'><b/></a><c/></r>");
    EXPECT_EQ(next(id), "- END") << "before any begin";
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, nullptr), 0);
    const std::string first = next(id);
    EXPECT_EQ(first + " " + next(id), "<r:0 <a:1");
    EXPECT_EQ(walk(id), "<r:0 <a:1 @k=v:1 <b:2 </b:2 </a:1 <c:1 </c:1 </r:0 END") << "begun again";

    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "b", nullptr), 0);
    EXPECT_EQ(gen__qtxmlif_end_traversion(id), 0);
    EXPECT_EQ(next(id), "- END") << "ended";
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, "a", nullptr), 0);
    // Start names are element names, compared exactly; a miss writes no record.
    for (const char *name : { "k", "A", "zz" }) {
        void *handle = &handle;
        EXPECT_EQ(gen__qtxmlif_begin_traversion(id, name, &handle), 14601);
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
        EXPECT_EQ(gen__qtxmlif_get_named_attribute(id, handle, "k", &value, nullptr), 0);
        EXPECT_EQ(take(value) + " " + next(id), "v " + std::string(entity));
    }
    EXPECT_EQ(gen__qtxmlif_get_named_attribute(id, handle, "k", nullptr, nullptr), 14601);
    EXPECT_EQ(next(id), "<c:1");
}

} // namespace
