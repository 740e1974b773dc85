/* SPDX-License-Identifier: MIT */
/**
 * @file gen_lowlevel.h
 * @brief The framework's low-level services, as ZarnetGenQtXml uses them.
 *
 * ZarnetGenQtXml reports failures and hands out strings only through these five
 * functions. They live in libZarnetGenLowLevel; a program that links ZarnetGenQtXml
 * may define them itself, and its definitions then take the place of the library's
 * (ordinary ELF symbol interposition).
 */
#ifndef GEN_LOWLEVEL_H
#define GEN_LOWLEVEL_H

/** Marks the functions the low-level services library exports. */
#if defined(_WIN32)
#define GEN_LOWLEVEL_API
#else
#define GEN_LOWLEVEL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/**
 * Writes one log record.
 * @param category  record category, e.g. "INTERNAL" or "ERROR"
 * @param format    printf-style format; the remaining arguments are its values
 * @return the number of characters written, or a negative value on failure.
 */
GEN_LOWLEVEL_API int gen__log_write(const char *category, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

/**
 * Signals an error (the stand-in writes a marker line).
 * @return 0.
 */
GEN_LOWLEVEL_API int gen__err_sound(void);

/**
 * Copies a string to the heap. The caller owns the copy and releases it with
 * gen__mem_free().
 * @param text  the NUL-terminated text to copy
 * @param file  source file of the caller, for diagnostics
 * @param line  source line of the caller, for diagnostics
 * @return the copy, or NULL when text is NULL or memory runs out.
 */
GEN_LOWLEVEL_API char *gen__str_dup_fn(const char *text, const char *file, int line);

/**
 * Releases a copy made by gen__str_dup_fn(). NULL is accepted and ignored.
 * @param ptr   the copy
 * @param flag  1 for memory from gen__str_dup_fn()
 * @param file  source file of the caller, for diagnostics
 * @param line  source line of the caller, for diagnostics
 */
GEN_LOWLEVEL_API void gen__mem_free(void *ptr, int flag, const char *file, int line);

/**
 * Traces a non-zero status passed up from file:line.
 * @param file  source file where the status was seen
 * @param line  source line where the status was seen
 */
GEN_LOWLEVEL_API void status_check(const char *file, int line);

#ifdef __cplusplus
}
#endif

#endif /* GEN_LOWLEVEL_H */
