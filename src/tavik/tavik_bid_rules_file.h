// The rules-file library: downloads a project's published rules file and
// answers questions about it.
//
// A C interface. Every operation returns 0 on success, another value on failure
// (26 is a failure of the download that callers report apart). Texts are in
// the system ANSI code page. Variable-length texts use the two-call protocol:
// a null buffer with *length preset to 0 gives the length, then a zeroed buffer
// one byte longer than that receives the text.
#ifndef BREVALT_PLATFORM_TAVIK_BID_RULES_FILE_H
#define BREVALT_PLATFORM_TAVIK_BID_RULES_FILE_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct CTavikBidRulesFile CTavikBidRulesFile;  // one rules-service session

enum { TAVIK_RULES_ERR_SPECIAL = 26 };
// Our addition (docs/rules-service.md): the code of a failed allocation.
enum { TAVIK_RULES_ERR_OUT_OF_MEMORY = 2 };

int TavikBidRulesFileCreateHandle(CTavikBidRulesFile** handle);
// The rules service's URL; the library keeps a copy.
int TavikBidRulesFileSetTargetUrl(CTavikBidRulesFile* handle, const char* url);
// An addition of ours to the maker's interface (see docs/rules-service.md):
// every later exchange of this handle, connecting included, ends within
// `milliseconds` (> 0) or the library's own limit, whichever is shorter.
// Lets a caller that does not need the answer keep its wait short.
int TavikBidRulesFileSetTimeout(CTavikBidRulesFile* handle, int milliseconds);
// Sends the query (length bytes, no terminator) and keeps the rules file it returns.
int TavikBidRulesFileGetRules(CTavikBidRulesFile* handle, const char* query, int length);
// 0 when the given bytes equal the downloaded rules file.
int TavikBidRulesFileCompareFile(CTavikBidRulesFile* handle, const unsigned char* data, int length);
// The opening organisation and the open time of the downloaded file (two calls).
int TavikBidRulesFileGetOpenOrg(CTavikBidRulesFile* handle, char* buffer, int* length);
int TavikBidRulesFileGetOpenTime(CTavikBidRulesFile* handle, char* buffer, int* length);
// The opener certificates of the downloaded file, by index 0 .. count - 1.
int TavikBidRulesFileGetCertCount(CTavikBidRulesFile* handle, int* count);
int TavikBidRulesFileGetCertLen(CTavikBidRulesFile* handle, int index, int* length);
// Fills buffer with the certificate's bytes and writes their number to *length;
// *length carries no capacity: the buffer must hold GetCertLen bytes.
int TavikBidRulesFileGetCert(CTavikBidRulesFile* handle, int index, unsigned char* buffer,
                             int* length);
int TavikBidRulesFileReleaseHandle(CTavikBidRulesFile* handle);
// Our addition (docs/rules-service.md): a short English text for a code of
// this library, as docs/rules-service.md lists it; never null, static.
const char* TavikBidRulesFileErrorText(int code);

#ifdef __cplusplus
}
#endif

#endif  // BREVALT_PLATFORM_TAVIK_BID_RULES_FILE_H
