#include "LowLevelRecorder.h"

#include "gen_lowlevel.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

namespace {

std::vector<recorder::Record> g_records;
std::vector<recorder::StatusCheck> g_statusChecks;
int g_errorSignals = 0;
std::size_t g_copiesMade = 0;
std::size_t g_copiesFreed = 0;
std::unordered_set<const void *> g_live;

const char assertionFormat[] = "(%s) at %s %d\n";
const char errorPrefix[] = "@$@#";

} // namespace

extern "C" {

int gen__log_write(const char *category, const char *format, ...)
{
    recorder::Record record;
    record.category = category ? category : "";
    record.format = format ? format : "";

    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> buffer(size > 0 ? size + 1 : 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    record.text.assign(buffer.data());

    if (record.format == assertionFormat) {
        va_start(args, format);
        record.condition = va_arg(args, const char *);
        record.file = va_arg(args, const char *);
        record.line = va_arg(args, int);
        va_end(args);
    }
    g_records.push_back(record);
    return size;
}

int gen__err_sound(void)
{
    ++g_errorSignals;
    if (!g_records.empty())
        ++g_records.back().signalsAfter;
    return 0;
}

char *gen__str_dup_fn(const char *text, const char *, int)
{
    if (!text)
        return nullptr;
    char *copy = static_cast<char *>(std::malloc(std::strlen(text) + 1));
    std::strcpy(copy, text);
    ++g_copiesMade;
    g_live.insert(copy);
    return copy;
}

void gen__mem_free(void *ptr, int, const char *, int)
{
    if (!ptr)
        return;
    if (g_live.erase(ptr) == 0)
        std::abort(); // freeing something that is no live copy
    ++g_copiesFreed;
    std::free(ptr);
}

void status_check(const char *file, int line)
{
    g_statusChecks.push_back({ file ? file : "", line });
}

} // extern "C"

namespace recorder {

void clear()
{
    g_records.clear();
    g_statusChecks.clear();
    g_errorSignals = 0;
}

const std::vector<Record> &records()
{
    return g_records;
}

int errorSignals()
{
    return g_errorSignals;
}

const std::vector<StatusCheck> &statusChecks()
{
    return g_statusChecks;
}

std::size_t copiesMade()
{
    return g_copiesMade;
}

std::size_t copiesFreed()
{
    return g_copiesFreed;
}

std::size_t liveCopies()
{
    return g_live.size();
}

bool isLiveCopy(const void *pointer)
{
    return g_live.count(pointer) != 0;
}

namespace {

// Splits "@$@#path@$@#GENERAL@$@#line@$@#message" into its four fields.
std::vector<std::string> errorFields(const Record &record)
{
    std::vector<std::string> fields;
    const std::string &text = record.text;
    if (text.compare(0, 4, errorPrefix) != 0)
        return fields;
    std::size_t start = 4;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = text.find(errorPrefix, start);
        if (end == std::string::npos)
            return {};
        fields.push_back(text.substr(start, end - start));
        start = end + 4;
    }
    fields.push_back(text.substr(start));
    return fields;
}

} // namespace

std::string errorMessage(const Record &record)
{
    const std::vector<std::string> fields = errorFields(record);
    return fields.size() == 4 && fields[1] == "GENERAL" ? fields[3] : std::string();
}

std::string errorPath(const Record &record)
{
    const std::vector<std::string> fields = errorFields(record);
    return fields.empty() ? std::string() : fields[0];
}

std::string take(char *copy)
{
    std::string text = copy ? copy : "";
    gen__mem_free(copy, 1, __FILE__, __LINE__);
    return text;
}

} // namespace recorder
