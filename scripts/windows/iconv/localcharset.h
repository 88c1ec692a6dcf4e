/* The character set of the system's locale, as libcharset names it: on
   Windows the ANSI code page, "CP" followed by its number ("CP1252"). */
#ifndef TESSARO_WINDOWS_LOCALCHARSET_H
#define TESSARO_WINDOWS_LOCALCHARSET_H

#ifdef __cplusplus
extern "C" {
#endif

const char* locale_charset(void);

#ifdef __cplusplus
}
#endif

#endif
