// SPDX-License-Identifier: MIT
// Loader fuzzer: writes its input to a file and loads it. A file that loads is
// walked (entities nest, depths match, the walk ends, within the limits),
// saved, loaded again and walked alike, attributes in the same order; in
// UTF-16, it is walked alike too. Every call keeps its record and copy
// promises.
#include "Fuzz.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>

#include <unistd.h>

namespace {

const std::string kFolder = [] {
    char name[] = "/tmp/zgqx_fuzz_load_XXXXXX";
    return std::string(mkdtemp(name));
}();

// The elements of a whole walk, in order, as "<name", " attribute" and ">".
std::string walk(int id)
{
    FUZZ_CHECK(gen__qtxmlif_begin_traversion(id, nullptr, nullptr) == GEN_QTXMLIF_OK);
    std::string elements;
    int status, open = -1;
    do {
        int type = 0, depth = 0;
        char *name = nullptr, *value = nullptr;
        bool end = false;
        status = gen__qtxmlif_get_next_entity(id, &type, &name, &value, &depth, &end);
        FUZZ_CHECK(status == GEN_QTXMLIF_OK || status == GEN_QTXMLIF_END);
        const std::string text = fuzz::take(name);
        FUZZ_CHECK(fuzz::take(value).empty() || type == XML_ETYPE_ATTR);
        if (type == XML_ETYPE_NODE) {
            FUZZ_CHECK(end ? depth == open-- : depth == ++open);
            elements += end ? ">" : "<" + text;
        } else {
            FUZZ_CHECK((type == XML_ETYPE_ATTR || type == XML_ETYPE_TEXT) && depth == open && !end);
            elements += type == XML_ETYPE_ATTR ? " " + text : "";
        }
        FUZZ_CHECK(open < GEN_QTXMLIF_MAX_DEPTH && (status == GEN_QTXMLIF_OK) == (open >= 0));
    } while (status == GEN_QTXMLIF_OK);
    FUZZ_CHECK(gen__qtxmlif_end_traversion(id) == GEN_QTXMLIF_OK);
    fuzz::checkRecords(GEN_QTXMLIF_OK);
    return elements;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input = kFolder + "/in.xml", saved = kFolder + "/saved.xml";
    FILE *file = std::fopen(input.c_str(), "wb");
    FUZZ_CHECK(file && std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0);
    int id = 9;
    const int status = gen__qtxmlif_load(input.c_str(), &id);
    FUZZ_CHECK(status == GEN_QTXMLIF_OK ? id > 0 : status == GEN_QTXMLIF_ESYNTAX && id == -1);
    fuzz::checkRecords(status);
    if (status != GEN_QTXMLIF_OK)
        return 0;
    const std::string elements = walk(id);
    FUZZ_CHECK(gen__qtxmlif_save(id, saved.c_str()) == GEN_QTXMLIF_OK);
    int again = -1;
    const int reload = gen__qtxmlif_load(saved.c_str(), &again);
    fuzz::checkRecords(reload);
    // Qt writes some processing instructions it cannot read ("<?a~b ?>").
    FUZZ_CHECK(reload == GEN_QTXMLIF_OK || reload == GEN_QTXMLIF_ESYNTAX);
    if (reload == GEN_QTXMLIF_OK) {
        FUZZ_CHECK(walk(again) == elements);
        FUZZ_CHECK(gen__qtxmlif_del_document(again) == GEN_QTXMLIF_OK);
    }
    FUZZ_CHECK(gen__qtxmlif_del_document(id) == GEN_QTXMLIF_OK);
    fuzz::checkRecords(GEN_QTXMLIF_OK);

    // A UTF-16 text takes another way to its attribute order than a UTF-8
    // one: a scan of the decoded text, not what the read noted.
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes || bytes.contains("encoding"))
        return 0;
    text = QChar(QChar::ByteOrderMark)
        + (text.startsWith(QChar::ByteOrderMark) ? text.mid(1) : text);
    file = std::fopen(input.c_str(), "wb");
    FUZZ_CHECK(file && std::fwrite(text.utf16(), 2, text.size(), file) == size_t(text.size())
        && std::fclose(file) == 0);
    const int wide = gen__qtxmlif_load(input.c_str(), &again);
    fuzz::checkRecords(wide);
    if (wide == GEN_QTXMLIF_OK) {
        FUZZ_CHECK(walk(again) == elements);
        FUZZ_CHECK(gen__qtxmlif_del_document(again) == GEN_QTXMLIF_OK);
    }
    fuzz::checkRecords(GEN_QTXMLIF_OK);
    return 0;
}
