/* SPDX-License-Identifier: MIT */
/*
 * Stand-in for the framework's low-level services library: records go to
 * standard error, copies come from malloc().
 */
#include "gen_lowlevel.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static void write_stamp(void)
{
    struct timespec now;
    struct tm parts;
    char stamp[32];

    clock_gettime(CLOCK_REALTIME, &now);
    localtime_r(&now.tv_sec, &parts);
    strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &parts);
    fprintf(stderr, "%s.%03ld ", stamp, now.tv_nsec / 1000000L);
}

int gen__log_write(const char *category, const char *format, ...)
{
    va_list args;
    int written;
    size_t length;

    if (format == NULL)
        return -1;
    write_stamp();
    fprintf(stderr, "[%s] ", category != NULL ? category : "");
    va_start(args, format);
    written = vfprintf(stderr, format, args);
    va_end(args);
    /* One line per record, whether or not the format ends in a newline. */
    length = strlen(format);
    if (length == 0 || format[length - 1] != '\n')
        fputc('\n', stderr);
    return written;
}

int gen__err_sound(void)
{
    fputs("*** error signalled ***\n", stderr);
    return 0;
}

char *gen__str_dup_fn(const char *text, const char *file, int line)
{
    char *copy;
    size_t size;

    (void)file;
    (void)line;
    if (text == NULL)
        return NULL;
    size = strlen(text) + 1;
    copy = malloc(size);
    if (copy != NULL)
        memcpy(copy, text, size);
    return copy;
}

void gen__mem_free(void *ptr, int flag, const char *file, int line)
{
    (void)flag;
    (void)file;
    (void)line;
    free(ptr);
}

void status_check(const char *file, int line)
{
    write_stamp();
    fprintf(stderr, "[STATUS] non-zero status at %s %d\n", file != NULL ? file : "?", line);
}
