/*
 * gen_lowlevel.h - the framework's low-level services, as ZarnetGenQtXml uses them.
 *
 * ZarnetGenQtXml reports failures and hands out strings only through these five
 * functions. They live in libZarnetGenLowLevel; a program that links ZarnetGenQtXml
 * may define them itself, and its definitions then take the place of the library's
 * (ordinary ELF symbol interposition).
 */
#ifndef GEN_LOWLEVEL_H
#define GEN_LOWLEVEL_H

#if defined(_WIN32)
#define GEN_LOWLEVEL_API
#else
#define GEN_LOWLEVEL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Writes one log record.
 *   category  record category, e.g. "INTERNAL" or "ERROR"
 *   format    printf-style format; the remaining arguments are its values
 * Returns the number of characters written, or a negative value on failure.
 */
GEN_LOWLEVEL_API int gen__log_write(const char *category, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

/* Signals an error (the stand-in writes a marker line). Returns 0. */
GEN_LOWLEVEL_API int gen__err_sound(void);

/*
 * Returns a heap copy of text, or NULL when text is NULL or memory runs out.
 * file and line name the caller, for diagnostics. The caller owns the copy and
 * releases it with gen__mem_free().
 */
GEN_LOWLEVEL_API char *gen__str_dup_fn(const char *text, const char *file, int line);

/*
 * Releases a copy made by gen__str_dup_fn(). NULL is accepted and ignored.
 *   flag  1 for memory from gen__str_dup_fn()
 */
GEN_LOWLEVEL_API void gen__mem_free(void *ptr, int flag, const char *file, int line);

/* Traces a non-zero status passed up from file:line. */
GEN_LOWLEVEL_API void status_check(const char *file, int line);

#ifdef __cplusplus
}
#endif

#endif /* GEN_LOWLEVEL_H */
