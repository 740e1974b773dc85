/*
 * Low-level functions for a counted build of examples/xmlwalk.c: they take the
 * place of the stand-in's, write records to standard error as it does, and
 * count the string copies. At exit a copy never released, or a release of
 * something that was no copy, turns the exit status into 3.
 */
#include "gen_lowlevel.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static long made;
static long freed;
static int bad;
static int registered;

static void check_at_exit(void)
{
    fprintf(stderr, "xmlwalk copies: %ld made, %ld released\n", made, freed);
    if (made != freed || bad)
        _exit(3);
}

int gen__log_write(const char *category, const char *format, ...)
{
    va_list args;
    int written;

    fprintf(stderr, "[%s] ", category ? category : "");
    va_start(args, format);
    written = vfprintf(stderr, format, args);
    va_end(args);
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
    if (!registered) {
        atexit(check_at_exit);
        registered = 1;
    }
    if (text == NULL)
        return NULL;
    size = strlen(text) + 1;
    /* One guard byte before the text marks it as a live copy. */
    copy = malloc(size + 1);
    if (copy == NULL)
        return NULL;
    copy[0] = 'C';
    memcpy(copy + 1, text, size);
    ++made;
    return copy + 1;
}

void gen__mem_free(void *ptr, int flag, const char *file, int line)
{
    char *copy = ptr;

    (void)file;
    (void)line;
    if (ptr == NULL)
        return;
    if (flag != 1 || copy[-1] != 'C') {
        bad = 1;
        return;
    }
    copy[-1] = 'F';
    ++freed;
    free(copy - 1);
}

void status_check(const char *file, int line)
{
    fprintf(stderr, "[STATUS] %s %d\n", file ? file : "?", line);
}
