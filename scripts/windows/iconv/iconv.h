/* A small iconv for the Windows cross build: conversions between the
   encodings Windows knows by code page (UTF-8, UTF-16LE and BE, the "CPnnnn"
   and "WINDOWS-nnnn" code pages, ISO-8859-n, ASCII), done with
   MultiByteToWideChar and WideCharToMultiByte. Only what a library that
   reads legacy documents into UTF-8 needs: each call converts whole
   characters, and a conversion keeps no state between calls. */
#ifndef TESSARO_WINDOWS_ICONV_H
#define TESSARO_WINDOWS_ICONV_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct tessaro_iconv* iconv_t;

iconv_t iconv_open(const char* tocode, const char* fromcode);
size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft);
int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif

#endif
