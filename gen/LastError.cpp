// SPDX-License-Identifier: MIT
#include "LastError.h"

#include "gen_qtxmlif.h"

#include <QString>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Fixed buffers: noting a failure must work when memory has run out.
zgqx::FailureDetail g_last;
zgqx::FailureDetail g_pending;
char g_reason[256] = "";
bool g_recorded = false;
bool g_detailed = false;

} // namespace

void zgqx::beginCall() noexcept
{
    // Field by field: every call comes here, and the message is long.
    g_pending.status = 0;
    g_pending.message[0] = '\0';
    g_pending.line = 0;
    g_pending.column = 0;
    g_reason[0] = '\0';
    g_recorded = false;
    g_detailed = false;
}

void zgqx::endCall(int status) noexcept
{
    const bool failed = status != GEN_QTXMLIF_OK && status != GEN_QTXMLIF_END;
    if (!failed && !g_recorded)
        return;
    g_pending.status = failed ? status : GEN_QTXMLIF_EINVAL;
    // A failure without a record of its own is described by its status.
    if (!g_recorded && !g_detailed)
        std::snprintf(g_pending.message, sizeof g_pending.message, "%s",
            gen__qtxmlif_status_text(g_pending.status));
    g_last = g_pending;
    beginCall();
}

void zgqx::noteRecord(const char *format, ...) noexcept
{
    g_recorded = true;
    if (g_detailed)
        return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(g_pending.message, sizeof g_pending.message, format, args);
    va_end(args);
    // Record messages end in a line break that a C caller's message need not.
    const std::size_t length = std::strlen(g_pending.message);
    if (length > 0 && g_pending.message[length - 1] == '\n')
        g_pending.message[length - 1] = '\0';
    if (g_reason[0] != '\0') {
        const std::size_t end = std::strlen(g_pending.message);
        std::snprintf(g_pending.message + end, sizeof g_pending.message - end, ": %s", g_reason);
    }
}

void zgqx::noteDetail(const QString &message, int line, int column)
{
    std::snprintf(g_pending.message, sizeof g_pending.message, "%s", message.toUtf8().constData());
    g_pending.line = line;
    g_pending.column = column;
    g_detailed = true;
}

const zgqx::FailureDetail &zgqx::lastFailure() noexcept
{
    return g_last;
}

void zgqx::noteReason(const QString &reason)
{
    std::snprintf(g_reason, sizeof g_reason, "%s", reason.toUtf8().constData());
}
