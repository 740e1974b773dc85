// SPDX-License-Identifier: MIT
// Hostile input: files past the nesting or attribute limit are refused before
// the parser sees them, with the position of the first element past a limit;
// markup that is no element does not count.
#include "Api.h"

namespace {

// n nested elements, each start tag on a line of its own.
QByteArray nested(int n)
{
    return QByteArray("<e>\n").repeated(n) + QByteArray("</e>").repeated(n);
}

// An element with n attributes.
QByteArray attributes(int n)
{
    QByteArray xml = "<e";
    for (int i = 0; i < n; ++i)
        xml += " a" + QByteArray::number(i) + "='" + QByteArray::number(i) + "'";
    return xml + "/>";
}

// UTF-16LE with a byte-order mark.
QByteArray utf16(const QByteArray &latin1)
{
    QByteArray wide = "\xff\xfe";
    for (char c : latin1)
        wide += QByteArray(1, c) + QByteArray(1, '\0');
    return wide;
}

struct Limit
{
    const char *what;
    QByteArray xml;
    const char *refused; // position of the refusal, or nullptr when it loads
};

class Limits : public Api, public ::testing::WithParamInterface<Limit>
{
};

const QByteArray kMany = QByteArray("<e a='1'>").repeated(3 * GEN_QTXMLIF_MAX_DEPTH);

const Limit kLimits[] = {
    { "deepest", nested(GEN_QTXMLIF_MAX_DEPTH), nullptr },
    { "too deep", nested(GEN_QTXMLIF_MAX_DEPTH + 1), "line 1025, column 1" },
    { "far too deep", nested(100000), "line 1025, column 1" },
    { "widest", "<r>\n  " + attributes(GEN_QTXMLIF_MAX_ATTRIBUTES) + "\n</r>", nullptr },
    { "too wide", "<r>\n  " + attributes(GEN_QTXMLIF_MAX_ATTRIBUTES + 1) + "\n</r>",
        "line 2, column 3" },
    { "after a newline", "\n" + nested(GEN_QTXMLIF_MAX_DEPTH + 1), "line 1026, column 1" },
    { "after a doctype",
        "<!DOCTYPE e [<!ENTITY x \"]>\"><!-- > ] --><!ENTITY y '\"'>]>\n"
            + nested(GEN_QTXMLIF_MAX_DEPTH + 1),
        "line 1026, column 1" },
    { "after an empty CDATA section",
        "<r><![CDATA[]]>\n" + attributes(GEN_QTXMLIF_MAX_ATTRIBUTES + 1) + "</r>",
        "line 2, column 1" },
    { "after a comment and a PI",
        "<r><!-- <a> > --><?p > <b>?>\n" + attributes(GEN_QTXMLIF_MAX_ATTRIBUTES + 1) + "</r>",
        "line 2, column 1" },
    { "UTF-16", utf16("\n\n  " + attributes(GEN_QTXMLIF_MAX_ATTRIBUTES + 1)), "line 3, column 3" },
    { "UTF-16 at once", utf16(attributes(GEN_QTXMLIF_MAX_ATTRIBUTES + 1)), "line 1, column 1" },
    { "UTF-16 at the limit", utf16(attributes(GEN_QTXMLIF_MAX_ATTRIBUTES)), nullptr },
    { "markup that is no element",
        "<?xml version='1.0'?>\n<!DOCTYPE r [<!ENTITY e \"" + kMany + "\">]>\n<r v='"
            + QByteArray(3 * GEN_QTXMLIF_MAX_ATTRIBUTES, '=') + "' w='"
            + QByteArray(kMany).replace('\'', '"').replace("<", "&lt;") + "'><!-- " + kMany
            + " --><![CDATA[" + kMany + "]]><?pi " + kMany + "?></r>",
        nullptr },
};

TEST_P(Limits, RefuseOnlyFilesPastThem)
{
    int status = -1;
    const int id = load(GetParam().xml, &status);
    if (!GetParam().refused) {
        EXPECT_EQ(status, 0);
        EXPECT_TRUE(gen__qtxmlif_document_exist(id));
        EXPECT_EQ(takeRecords(), Records {});
        return;
    }
    EXPECT_EQ(status, GEN_QTXMLIF_ESYNTAX);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(takeRecords(),
        Records { "E:XML document syntax error in file: " + path("load.xml") + "\nError found in "
            + GetParam().refused + ".\n" });
}

void PrintTo(const Limit &limit, std::ostream *out)
{
    *out << limit.what;
}

INSTANTIATE_TEST_SUITE_P(Files, Limits, ::testing::ValuesIn(kLimits), RowName());

TEST_F(Api, AFileAtTheLimitsWalksWhole)
{
    const int id = load(nested(GEN_QTXMLIF_MAX_DEPTH));
    const std::string entities = walk(id);
    EXPECT_EQ(entities.substr(0, 15), "<e:0 <e:1 <e:2 ");
    EXPECT_NE(entities.find(" <e:1023 </e:1023 </e:1022 "), std::string::npos);
    EXPECT_EQ(entities.substr(entities.size() - 15), "</e:1 </e:0 END");
}

} // namespace
