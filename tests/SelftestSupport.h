#ifndef ZGQX_SELFTESTSUPPORT_H
#define ZGQX_SELFTESTSUPPORT_H

// Running the self-test in a temporary working folder, with its
// standard output captured, and reading what it printed.

#include "ReadingSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <unistd.h>

namespace selftest {

// The sample file's path, relative to the working folder.
inline const char *samplePath()
{
    return "D:/temp/test.xml";
}

// A temporary working folder for the life of the object, with or without the
// "D:/temp" folder the self-test saves into.
class WorkingFolder
{
public:
    explicit WorkingFolder(bool withSampleFolder)
    {
        char buffer[4096];
        m_previous = ::getcwd(buffer, sizeof buffer) ? buffer : "/";
        EXPECT_TRUE(m_dir.isValid());
        if (withSampleFolder) {
            EXPECT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("D:/temp")));
        }
        EXPECT_EQ(::chdir(m_dir.path().toLocal8Bit().constData()), 0);
    }
    ~WorkingFolder() { EXPECT_EQ(::chdir(m_previous.c_str()), 0); }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

    std::string path(const std::string &relative) const
    {
        return m_dir.path().toStdString() + "/" + relative;
    }

private:
    QTemporaryDir m_dir;
    std::string m_previous;
};

// Runs function with standard output captured; hands back its status.
template<typename Function>
int captured(Function &&function, std::string *output)
{
    std::fflush(stdout);
    ::testing::internal::CaptureStdout();
    const int status = function();
    std::fflush(stdout);
    *output = ::testing::internal::GetCapturedStdout();
    return status;
}

// One printed line: its leading tabs, and what follows them.
struct Line
{
    int tabs = 0;
    std::string kind; // "start", "end", "text", or "other"
    std::string name; // element name, or the text after "\t "
    std::map<std::string, std::string> attributes; // of a start line
    bool operator==(const Line &other) const
    {
        return tabs == other.tabs && kind == other.kind && name == other.name
            && attributes == other.attributes;
    }
};

inline void PrintTo(const Line &line, std::ostream *out)
{
    *out << "{" << line.tabs << " " << line.kind << " \"" << line.name << "\"";
    for (const auto &[name, value] : line.attributes)
        *out << " " << name << "=" << value;
    *out << "}";
}

// Splits the self-test's output into lines, reading each the way it prints
// them: "<name" and ' name="value"' pairs and " >" for a start, "</name>"
// for an end, "\t " and the text for a text (one tab more than its
// element's depth). Attribute order plays no part.
inline std::vector<Line> parse(const std::string &output)
{
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < output.size()) {
        std::size_t end = output.find('\n', begin);
        if (end == std::string::npos)
            end = output.size();
        std::string text = output.substr(begin, end - begin);
        begin = end + 1;
        Line line;
        std::size_t tabs = 0;
        while (tabs < text.size() && text[tabs] == '\t')
            ++tabs;
        line.tabs = int(tabs);
        const std::string rest = text.substr(tabs);
        static const std::regex startLine("<([^ />]+)((?: [^ =]+=\"[^\"]*\")*) >");
        static const std::regex endLine("</([^ >]+)>");
        static const std::regex attribute(" ([^ =]+)=\"([^\"]*)\"");
        std::smatch match;
        if (std::regex_match(rest, match, startLine)) {
            line.kind = "start";
            line.name = match[1];
            const std::string attributes = match[2];
            for (std::sregex_iterator it(attributes.begin(), attributes.end(), attribute), last;
                 it != last; ++it)
                line.attributes[(*it)[1]] = (*it)[2];
        } else if (std::regex_match(rest, match, endLine)) {
            line.kind = "end";
            line.name = match[1];
        } else if (rest.rfind(" ", 0) == 0 && tabs > 0) {
            // "\t " and the text: the first tab belongs to the text line.
            line.kind = "text";
            line.name = rest.substr(1);
        } else {
            line.kind = "other";
            line.name = rest;
        }
        lines.push_back(line);
    }
    return lines;
}

inline Line start(
    int tabs, const std::string &name, std::map<std::string, std::string> attributes = {})
{
    return Line { tabs, "start", name, std::move(attributes) };
}
inline Line end(int tabs, const std::string &name)
{
    return Line { tabs, "end", name, {} };
}
inline Line text(int tabs, const std::string &content)
{
    return Line { tabs, "text", content, {} };
}

// What the self-test prints for its sample document.
inline std::vector<Line> sampleLines()
{
    return {
        start(0, "xmlRoot"),
        start(1, "Personal_Details", { { "First_Name", "Anna" }, { "Last_Name", "Berger" } }),
        start(2, "Kids"),
        start(3, "kid", { { "Friend_1", "Lena" }, { "Friend_2", "Tom" } }),
        text(4, "Likes to sing in the garden. LaLaLa..."),
        end(3, "kid"),
        start(3, "kid", { { "First_Name", "Max" } }),
        end(3, "kid"),
        start(3, "kid", { { "First_Name", "Mia" } }),
        end(3, "kid"),
        end(2, "Kids"),
        end(1, "Personal_Details"),
        end(0, "xmlRoot"),
    };
}

} // namespace selftest

#endif // ZGQX_SELFTESTSUPPORT_H
