// SPDX-License-Identifier: MIT
#ifndef ZGQX_LASTERROR_H
#define ZGQX_LASTERROR_H

// The detail of the last failure, as gen__qtxmlif_last_error() hands it out.
// It is filled where records are written, so every failure that writes a
// record leaves its detail; the frame of each C function (guarded() in
// LogRecord.h) opens a call and closes it with the call's status.

class QString;

namespace zgqx {

struct FailureDetail
{
    int status = 0;
    char message[1024] = "";
    int line = 0;
    int column = 0;
};

// The detail of the last call that failed; status 0 before the first.
const FailureDetail &lastFailure() noexcept;

// Forgets the detail noted by an earlier call that did not fail.
void beginCall() noexcept;
// Keeps the call's detail as the last error when the call failed: a status
// other than success or the end of a walk, or, for functions without a
// status, a record written.
void endCall(int status) noexcept;

// The message of a record being written, printf-style.
void noteRecord(const char *format, ...) noexcept
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A more telling detail than the record's own message (the parser's message,
// the limit passed, the system's reason), noted by the code that found it;
// the record that follows in the same call keeps this text instead.
void noteDetail(const QString &message, int line = 0, int column = 0);
// The system's reason for a failure (no such file, disk full), added to the
// message of the record that follows in the same call.
void noteReason(const QString &reason);

} // namespace zgqx

#endif // ZGQX_LASTERROR_H
