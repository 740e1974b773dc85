// SPDX-License-Identifier: MIT
// Hostile input: files past the nesting or attribute limit are refused before
// the parser sees them, at the first element past a limit; markup that is no
// element does not count.
#include "Api.h"

namespace {

QByteArray nested(int n) // each start tag on a line of its own
{
    return QByteArray("<e>\n").repeated(n) + QByteArray("</e>").repeated(n);
}

QByteArray attributes(int n)
{
    QByteArray xml = "<e";
    for (int i = 0; i < n; ++i)
        xml += " a" + QByteArray::number(i) + "='" + QByteArray::number(i) + "'";
    return xml + "/>";
}

// UTF-16LE (or with width 4 UTF-32LE) with a byte-order mark
QByteArray utf16(const QByteArray &latin1, int width = 2)
{
    QByteArray wide = QByteArray("\xff\xfe\0\0", width);
    for (char c : latin1)
        wide += QByteArray(1, c) + QByteArray(width - 1, '\0');
    return wide;
}

const int kMax = GEN_QTXMLIF_MAX_DEPTH; // as GEN_QTXMLIF_MAX_ATTRIBUTES
const QByteArray kMany = QByteArray("<e a=\"1\">").repeated(3 * kMax);
const QByteArray kNoElements = "<?xml version='1.0'?>\n<!DOCTYPE e [<!-- <e> ] > --><!ENTITY x '"
    + kMany + "'>]>\n<e v='" + QByteArray(3 * kMax, '=') + "' w='"
    + QByteArray(kMany).replace("<", "&lt;") + "'><!-- " + kMany + " --><![CDATA[" + kMany
    + "]]><?pi " + kMany + "?></e>";

} // namespace

const Refused kLimits[] = {
    { "deepest", nested(kMax), nullptr },
    { "too deep", nested(kMax + 1), "line 1025, column 1" },
    { "far too deep", nested(100000), "line 1025, column 1" },
    { "widest", "<e>\n  " + attributes(kMax) + "\n</e>", nullptr },
    { "too wide at once", attributes(kMax + 1), "line 1, column 1" },
    { "too wide", "<e>\n  " + attributes(kMax + 1) + "\n</e>", "line 2, column 3" },
    { "after a newline", "\n" + nested(kMax + 1), "line 1026, column 1" },
    { "after a doctype", "<!DOCTYPE e SYSTEM \"x><!--\" [<!ENTITY y '\"]>'>]>\n" + nested(kMax + 1),
        "line 1026, column 1" },
    { "after an empty CDATA section", "<e><![CDATA[]]>\n" + attributes(kMax + 1) + "</e>",
        "line 2, column 1" },
    { "after a comment and a PI", "<e><!-- <a> > --><?p > <b>?>\n" + attributes(kMax + 1) + "</e>",
        "line 2, column 1" },
    { "UTF-16", utf16("<r><c></c><!-- > --><?p >?>\n\n  " + attributes(kMax + 1) + "</r>"),
        "line 3, column 3" },
    { "UTF-16 at once", utf16(attributes(kMax + 1)), "line 1, column 1" },
    { "UTF-8 with a byte-order mark", "\xef\xbb\xbf" + attributes(kMax + 1), "line 1, column 1" },
    { "UTF-16 at the limit", utf16(attributes(kMax)), nullptr },
    { "UTF-32 at the limit", utf16("\n" + attributes(kMax), 4), nullptr },
    { "markup that is no element", kNoElements, nullptr },
    { "UTF-16 markup that is no element", utf16(kNoElements), nullptr },
};
INSTANTIATE_TEST_SUITE_P(Limits, RefusedFiles, ::testing::ValuesIn(kLimits), RowName());

namespace {

TEST_F(Api, AFileAtTheLimitsWalksWhole)
{
    const std::string entities = walk(load(nested(kMax)));
    EXPECT_EQ(entities.substr(0, 15), "<e:0 <e:1 <e:2 ");
    EXPECT_NE(entities.find(" <e:1023 </e:1023 </e:1022 "), std::string::npos);
    EXPECT_EQ(entities.substr(entities.size() - 15), "</e:1 </e:0 END");
}

} // namespace
