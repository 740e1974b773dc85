// SPDX-License-Identifier: MIT
// Raw Qt DOM: the floor this library stands on. It converts the C strings as
// the library does and, where the library hands out strings, makes the same
// two heap copies of the local 8-bit form per entity.
#include "Runners.h"

#include <QDomDocument>
#include <QFile>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

namespace zgqxbench {

namespace {

// The copy the library hands out and its caller releases: a strdup, as the
// framework's string copy of a C string is. The copy has to escape: the
// compiler drops an allocation and free of memory nobody reads.
void copyOut(const QString &text)
{
    const QByteArray local = text.toLocal8Bit();
    char *copy = strdup(local.constData());
    benchmark::DoNotOptimize(copy);
    std::free(copy);
}

void addContent(QDomDocument &document, QDomElement &target, const Element &element)
{
    for (const Attribute &attribute : element.attributes)
        target.setAttribute(QString::fromUtf8(attribute.name.c_str()),
            QString::fromLocal8Bit(attribute.value.c_str()));
    if (!element.text.empty())
        target.appendChild(document.createTextNode(QString::fromUtf8(element.text.c_str())));
    for (const Element &child : element.children) {
        QDomElement added = document.createElement(QString::fromUtf8(child.name.c_str()));
        target.appendChild(added);
        addContent(document, added, child);
    }
}

long long walk(const QDomNode &node)
{
    const QString name = node.nodeName();
    copyOut(name);
    copyOut(QString());
    long long entities = 2;
    const QDomNamedNodeMap attributes = node.attributes();
    for (int i = 0, n = attributes.count(); i < n; ++i) {
        const QDomNode attribute = attributes.item(i);
        copyOut(attribute.nodeName());
        copyOut(attribute.nodeValue());
        ++entities;
    }
    // Sibling links, not childNodes(): QDomNodeList looks the owner document
    // up on every access, which costs the depth each time.
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isText()) {
            copyOut(child.nodeValue());
            copyOut(QString());
            ++entities;
        } else if (child.isElement()) {
            entities += walk(child);
        }
    }
    copyOut(name);
    copyOut(QString());
    return entities;
}

long long query(QDomElement element, const Element &expected)
{
    long long found = 1;
    for (const Attribute &attribute : expected.attributes) {
        const QDomAttr value = element.attributeNode(QString::fromUtf8(attribute.name.c_str()));
        copyOut(value.value());
        found += value.isNull() ? 0 : 1;
    }
    auto next = expected.children.begin();
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isText())
            continue;
        if (next == expected.children.end())
            return -1;
        copyOut(child.nodeName());
        const long long below = query(child.toElement(), *next++);
        if (below < 0)
            return -1;
        found += below;
    }
    return next == expected.children.end() ? found : -1;
}

class QtDomRunner : public Runner
{
public:
    const char *name() const override { return "qtdom"; }

    bool buildAndSave(const Element &root, const std::string &path) override
    {
        QDomDocument document;
        QDomElement top = document.createElement(QString::fromUtf8(root.name.c_str()));
        document.appendChild(top);
        addContent(document, top, root);

        QFile file(QString::fromUtf8(path.c_str()));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        static const char declaration[] = "<?xml version='1.0' encoding='UTF-8'?>\n";
        file.write(declaration, sizeof declaration - 1);
        QTextStream stream(&file);
        document.save(stream, 4);
        stream.flush();
        return stream.status() == QTextStream::Ok;
    }

    bool loadAndRelease(const std::string &path) override
    {
        QDomDocument document;
        return parse(path, document);
    }

    bool hold(const std::string &path) override { return parse(path, held); }

    void release() override { held = QDomDocument(); }

    long long entityWalk() override
    {
        const QDomElement root = held.documentElement();
        return root.isNull() ? -1 : walk(root);
    }

    long long queryWalk(const Element &root) override
    {
        const QDomElement top = held.documentElement();
        return top.isNull() ? -1 : query(top, root);
    }

    long long toText() override { return held.toString(2).size(); }

private:
    static bool parse(const std::string &path, QDomDocument &document)
    {
        QFile file(QString::fromUtf8(path.c_str()));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        return document.setContent(&file, true);
    }

    QDomDocument held;
};

} // namespace

std::unique_ptr<Runner> makeQtDomRunner()
{
    return std::make_unique<QtDomRunner>();
}

} // namespace zgqxbench
