#include "iconv.h"
#include "localcharset.h"

#include <windows.h>

#include <ctype.h>
#include <stdio.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>

enum { kUtf16Le = 1200, kUtf16Be = 1201 };

struct tessaro_iconv {
    UINT from;
    UINT to;
};

/* The Windows code page an encoding name stands for, or 0. */
static UINT codePageOf(const char* name) {
    char upper[64];
    size_t length = 0, i;
    for (i = 0; name[i] && length + 1 < sizeof upper; ++i) {
        const char c = (char)toupper((unsigned char)name[i]);
        if (c != '-' && c != '_') upper[length++] = c;
    }
    upper[length] = '\0';
    {
        /* "//TRANSLIT" and "//IGNORE" endings ask for what this shim does anyway. */
        char* suffix = strstr(upper, "//");
        if (suffix) *suffix = '\0';
    }
    if (!strcmp(upper, "UTF8")) return CP_UTF8;
    if (!strcmp(upper, "UTF16LE") || !strcmp(upper, "UCS2LE") || !strcmp(upper, "UTF16") || !strcmp(upper, "UCS2"))
        return kUtf16Le;
    if (!strcmp(upper, "UTF16BE") || !strcmp(upper, "UCS2BE")) return kUtf16Be;
    if (!strcmp(upper, "ASCII") || !strcmp(upper, "USASCII")) return 20127;
    if (!strcmp(upper, "MACINTOSH") || !strcmp(upper, "MAC")) return 10000;
    if (!strcmp(upper, "LATIN1")) return 28591;
    if (!strncmp(upper, "ISO8859", 7) && upper[7]) return 28590 + (UINT)atoi(upper + 7);
    if (!strncmp(upper, "WINDOWS", 7) && upper[7]) return (UINT)atoi(upper + 7);
    if (!strncmp(upper, "CP", 2) && upper[2]) return (UINT)atoi(upper + 2);
    if (!strncmp(upper, "IBM", 3) && upper[3]) return (UINT)atoi(upper + 3);
    return 0;
}

iconv_t iconv_open(const char* tocode, const char* fromcode) {
    const UINT to = codePageOf(tocode), from = codePageOf(fromcode);
    struct tessaro_iconv* cd;
    if (!to || !from || (to != kUtf16Le && to != kUtf16Be && !IsValidCodePage(to)) ||
        (from != kUtf16Le && from != kUtf16Be && !IsValidCodePage(from))) {
        errno = EINVAL;
        return (iconv_t)-1;
    }
    cd = (struct tessaro_iconv*)malloc(sizeof *cd);
    if (!cd) {
        errno = ENOMEM;
        return (iconv_t)-1;
    }
    cd->from = from;
    cd->to = to;
    return cd;
}

int iconv_close(iconv_t cd) {
    free(cd);
    return 0;
}

static void swapBytes(wchar_t* text, int length) {
    int i;
    for (i = 0; i < length; ++i) text[i] = (wchar_t)(((text[i] & 0xFF) << 8) | ((text[i] >> 8) & 0xFF));
}

/* Input to UTF-16; answers the number of UTF-16 units, or -1 with errno. */
static int decode(UINT from, const char* in, size_t bytes, wchar_t** wide) {
    int length;
    if (from == kUtf16Le || from == kUtf16Be) {
        if (bytes % 2) {
            errno = EINVAL;
            return -1;
        }
        length = (int)(bytes / 2);
        *wide = (wchar_t*)malloc((size_t)(length ? length : 1) * sizeof(wchar_t));
        if (!*wide) return errno = ENOMEM, -1;
        memcpy(*wide, in, bytes);
        if (from == kUtf16Be) swapBytes(*wide, length);
        return length;
    }
    length = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in, (int)bytes, NULL, 0);
    if (length == 0) {
        errno = EILSEQ;
        return -1;
    }
    *wide = (wchar_t*)malloc((size_t)length * sizeof(wchar_t));
    if (!*wide) return errno = ENOMEM, -1;
    MultiByteToWideChar(from, 0, in, (int)bytes, *wide, length);
    return length;
}

size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft) {
    wchar_t* wide = NULL;
    int units;
    size_t needed;
    if (!inbuf || !*inbuf || !inbytesleft) return 0; /* no state to reset or flush */
    if (*inbytesleft == 0) return 0;
    units = decode(cd->from, *inbuf, *inbytesleft, &wide);
    if (units < 0) return (size_t)-1;
    if (cd->to == kUtf16Le || cd->to == kUtf16Be) {
        needed = (size_t)units * 2;
        if (needed > *outbytesleft) {
            free(wide);
            errno = E2BIG;
            return (size_t)-1;
        }
        if (cd->to == kUtf16Be) swapBytes(wide, units);
        memcpy(*outbuf, wide, needed);
    } else {
        BOOL lossy = FALSE;
        /* The UTF code pages take no default-character arguments. */
        BOOL* lossyFlag = cd->to == CP_UTF8 ? NULL : &lossy;
        const int length = WideCharToMultiByte(cd->to, 0, wide, units, NULL, 0, NULL, lossyFlag);
        if (length == 0 && units > 0) {
            free(wide);
            errno = EILSEQ;
            return (size_t)-1;
        }
        needed = (size_t)length;
        if (needed > *outbytesleft) {
            free(wide);
            errno = E2BIG;
            return (size_t)-1;
        }
        WideCharToMultiByte(cd->to, 0, wide, units, *outbuf, length, NULL, lossyFlag);
        if (lossy) {
            free(wide);
            errno = EILSEQ;
            return (size_t)-1;
        }
    }
    free(wide);
    *inbuf += *inbytesleft;
    *inbytesleft = 0;
    *outbuf += needed;
    *outbytesleft -= needed;
    return 0;
}

const char* locale_charset(void) {
    static char name[16];
    if (!name[0]) snprintf(name, sizeof name, "CP%u", GetACP());
    return name;
}
