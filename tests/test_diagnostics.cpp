// SPDX-License-Identifier: MIT
// Status texts and the version, the last failure's detail, the UTF-8 string form.

#include "Api.h"

#include <fstream>
#include <functional>
#include <tuple>

namespace {

using Diagnostics = Api;

TEST_F(Diagnostics, StatusTextsAndVersion)
{
    // clang-format off
    const struct { int status; const char *text; } cases[] = {{0, "success"},
        {14601, "invalid argument, or the operation could not be carried out"},
        {14603, "the document is missing"}, {14604, "the file could not be opened for reading"},
        {14605, "the file is not well-formed XML or passes a limit"},
        {14606, "no live document has this ID"}, {14607, "the document could not be saved"},
        {14608, "the walk has ended"}, {14602, "unknown status code"}, {-1, "unknown status code"}};
    // clang-format on
    for (const auto &c : cases)
        EXPECT_STREQ(gen__qtxmlif_status_text(c.status), c.text) << c.status;
    EXPECT_EQ(takeRecords(), Records {});
    EXPECT_EQ(gen__qtxmlif_version(), GEN_QTXMLIF_VERSION_NUMBER);
}

TEST_F(Diagnostics, LastErrorAfterEachFailingCall)
{
    const std::string dir = path("");
    auto load = [&](const std::string &xml) {
        std::ofstream(dir + "bad.xml") << xml;
        return gen__qtxmlif_load((dir + "bad.xml").c_str(), nullptr);
    };
    const std::string deep = QByteArray("<a>").repeated(1025).toStdString();
    const std::string wide = "<a" + QByteArray(" a=''").repeated(1025).toStdString() + "/>";
    // clang-format off
    const struct { std::function<int()> call; int status; std::string message; int line, column; } cases[] = {
        {[] { return gen__qtxmlif_load("", nullptr); }, 14603,
         "check failed: !((file_path) ? (file_path)[0]=='\\0' : true)", 0, 0},
        {[&] { return gen__qtxmlif_load(dir.c_str(), nullptr); }, 14604,
         "Unable to open document: " + dir + ": file to open is a directory", 0, 0},
        {[&] { return load("<a>\n <b></a>"); }, 14605, "Opening and ending tag mismatch.", 2, 8},
        {[&] { return load(deep); }, 14605,
         "elements are nested deeper than GEN_QTXMLIF_MAX_DEPTH (1024)", 1, 3073},
        {[&] { return load(wide); }, 14605,
         "an element has more attributes than GEN_QTXMLIF_MAX_ATTRIBUTES (1024)", 1, 1},
        {[] { return gen__qtxmlif_begin_traversion(987654, nullptr, nullptr); }, 14606,
         "XML document ID 987654 not found", 0, 0},
        {[&] { return gen__qtxmlif_begin_traversion(doc(), "x", nullptr); }, 14601,
         "invalid argument, or the operation could not be carried out", 0, 0},
        {[] { return gen__qtxmlif_document_exist(-1) ? 0 : 14601; }, 14601,
         "check failed: doc_id >= 0", 0, 0},
        {[&] { return gen__qtxmlif_save(doc(), (dir + "no/x").c_str()); }, 14607,
         "Unable to open file for saving : " + dir + "no/x: No such file or directory", 0, 0},
    };
    // clang-format on
    for (const auto &c : cases) {
        gen__qtxmlif_set_working_document(-1);
        EXPECT_EQ(c.call(), c.status) << c.message;
        doc("after"); // a success leaves the detail as it was
        const char *text = "";
        int line = -1, column = -1, status = gen__qtxmlif_last_error(&text, &line, &column);
        EXPECT_EQ(std::make_tuple(status, std::string(text), line, column),
            std::make_tuple(c.status, c.message, c.line, c.column))
            << c.message;
    }
}

TEST_F(Diagnostics, Utf8FormEqualsTheQStringForm)
{
    const int id = load("<r k='\xe2\x82\xac'>gr\xc3\xbc\xc3\x9f \xf0\x9f\x98\x80</r>");
    char *text = nullptr;
    ASSERT_EQ(gen__qtxmlif_doc_to_utf8(id, &text), GEN_QTXMLIF_OK);
    QString qstring;
    ASSERT_EQ(gen__qtxmlif_doc_to_string(id, &qstring), GEN_QTXMLIF_OK);
    EXPECT_EQ(take(text), qstring.toUtf8().toStdString());
    EXPECT_EQ(qstring,
        QString::fromUtf8("<r k=\"\xe2\x82\xac\">gr\xc3\xbc\xc3\x9f \xf0\x9f\x98\x80</r>\n"));
    text = reinterpret_cast<char *>(&qstring); // set to null at entry
    EXPECT_EQ(gen__qtxmlif_doc_to_utf8(987654, &text), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_TRUE(text == nullptr);
    EXPECT_EQ(takeRecords(), Records { "E:XML document ID 987654 not found" });
    EXPECT_EQ(gen__qtxmlif_doc_to_utf8(id, reinterpret_cast<char **>(1000)), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(takeRecords(), (Records { "A:((unsigned int)(text) > 1000)", "!" }));
}

} // namespace
