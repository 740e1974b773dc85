#include "FuzzSupport.h"

#include "LowLevelRecorder.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace fuzz {

void violated(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "\n*** invariant violated: %s (%s:%d)\n", condition, file, line);
    for (const recorder::Record &record : recorder::records())
        std::fprintf(stderr, "    record [%s] %s\n", record.category.c_str(), record.text.c_str());
    std::fflush(stderr);
    std::abort();
}

bool inStatusTable(int status)
{
    return status == 0 || status == 14601 || (status >= 14603 && status <= 14608);
}

bool oneOf(int status, std::initializer_list<int> allowed)
{
    for (int code : allowed) {
        if (status == code)
            return true;
    }
    return false;
}

void checkRecords(Records expected)
{
    const auto &records = recorder::records();
    switch (expected) {
    case Records::None:
        FUZZ_CHECK(records.empty());
        FUZZ_CHECK(recorder::errorSignals() == 0);
        break;
    case Records::One: {
        FUZZ_CHECK(records.size() == 1);
        const recorder::Record &record = records.front();
        if (record.category == "INTERNAL") {
            FUZZ_CHECK(record.format == "(%s) at %s %d\n");
            FUZZ_CHECK(record.file == "gen/gen_qtxmlif");
            FUZZ_CHECK(record.signalsAfter == 1);
            FUZZ_CHECK(recorder::errorSignals() == 1);
        } else {
            FUZZ_CHECK(record.category == "ERROR");
            FUZZ_CHECK(recorder::errorPath(record) == "gen/gen_qtxmlif");
            FUZZ_CHECK(recorder::errorSignals() == 0);
        }
        // Neither an exception nor an allocation failure may reach a caller
        // as anything but this record; the fuzzers run with memory to spare,
        // so seeing one means something threw.
        FUZZ_CHECK(recorder::errorMessage(record).rfind("unexpected failure", 0) != 0);
        break;
    }
    case Records::Any:
        break;
    }
    recorder::clear();
}

void checkRecordsFor(int status)
{
    checkRecords(status == 0 || status == 14608 ? Records::None : Records::One);
}

const std::string &tempDir()
{
    static const std::string dir = [] {
        char pattern[] = "/tmp/zgqx-fuzz-XXXXXX";
        const char *made = mkdtemp(pattern);
        if (!made) {
            std::perror("mkdtemp");
            std::abort();
        }
        return std::string(made);
    }();
    return dir;
}

std::string tempPath(const std::string &name)
{
    return tempDir() + "/" + name;
}

void writeFile(const std::string &path, const uint8_t *data, std::size_t size)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::abort();
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = write(fd, data + done, size - done);
        if (written <= 0) {
            std::perror(path.c_str());
            std::abort();
        }
        done += std::size_t(written);
    }
    close(fd);
}

void writeFile(const std::string &path, const std::string &content)
{
    writeFile(path, reinterpret_cast<const uint8_t *>(content.data()), content.size());
}

void checkNoLiveCopies()
{
    FUZZ_CHECK(recorder::liveCopies() == 0);
    FUZZ_CHECK(recorder::copiesMade() == recorder::copiesFreed());
}

void silenceQtMessages()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

} // namespace fuzz
