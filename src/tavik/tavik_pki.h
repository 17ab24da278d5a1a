// The PKI library: certificates, digests and RFC 3161 time-stamp requests.
//
// A C interface. Every integer result means 1 = success, anything else = failure.
// Every buffer or text the library hands out is owned by the caller and must be
// returned with TavikPKICryptoFreeMemory; every object is released with its own
// release function. Texts the library hands out are NUL-terminated UTF-8;
// URLs it takes are in the system ANSI code page.
#ifndef BREVALT_PLATFORM_TAVIK_PKI_H
#define BREVALT_PLATFORM_TAVIK_PKI_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TAVIK_DEVICE_st TAVIK_DEVICE_st;        // a cryptographic device
typedef struct TAVIK_HASH_st TAVIK_HASH_st;            // a running digest
typedef struct TAVIK_CERT_st TAVIK_CERT_st;            // an X.509 certificate
typedef struct TAVIK_TIMESTAMP_st TAVIK_TIMESTAMP_st;  // one time-stamp request and its answer

// Digest algorithm ids accepted by TavikPKICryptoNewHash and
// TavikPKIMsgTimeStampSetHashAlgorithm.
enum {
  TAVIK_HASH_BID_CODE = 4096,   // 0x1000: the bid verification code
  TAVIK_HASH_TIMESTAMP = 8192,  // 0x2000: the time-stamp imprint
  TAVIK_HASH_SM3 = 16384,       // 0x4000, ours: an SM3 time-stamp imprint (docs/pki.md)
};

// Certificate string attribute ids for TavikPKICertGetCertStringAttribute.
enum {
  TAVIK_CERT_ATTR_SUBJECT_NAME = 16,     // subject common name (bidder name)
  TAVIK_CERT_ATTR_SUBJECT_ORG = 18,      // subject organisation (bidder unit)
  TAVIK_CERT_ATTR_SUBJECT_CN = 20,       // subject common name (opener name)
  TAVIK_CERT_ATTR_NOT_AFTER_LOCAL = 31,  // end of validity, "YYYYMMDDHHMMSS" local time
};

// Why TavikPKIMsgTimeStampCheckReceipt refused a receipt.
enum {
  TAVIK_RECEIPT_MALFORMED = 1,      // not one DER TimeStampResp with a token
  TAVIK_RECEIPT_NOT_GRANTED = 2,    // the answer's status is not granted
  TAVIK_RECEIPT_DATA_CHANGED = 3,   // the imprint is not the digest of the data
  TAVIK_RECEIPT_BAD_SIGNATURE = 4,  // the token's signature does not verify
  TAVIK_RECEIPT_UNTRUSTED = 5,      // the signer is no trusted time-stamping authority
  TAVIK_RECEIPT_WEAK_IMPRINT = 6,   // the imprint's digest is neither SHA-256 nor SM3
};

// Why TavikPKIMsgTimeStampGetResponse found no answer (ours, see
// TavikPKIMsgTimeStampGetFailure).
enum {
  TAVIK_TS_FAILED_SETUP = 1,           // no authority or algorithm set, or out of memory
  TAVIK_TS_FAILED_BAD_URL = 2,         // not an http or https URL (detail: the curl code)
  TAVIK_TS_FAILED_NOT_RESOLVED = 3,    // the authority's name did not resolve
  TAVIK_TS_FAILED_REFUSED = 4,         // the connection was refused or found no route
  TAVIK_TS_FAILED_TIMED_OUT = 5,       // no answer within the request's time limit
  TAVIK_TS_FAILED_CANCELLED = 6,       // TavikPKIMsgTimeStampCancel ended it
  TAVIK_TS_FAILED_TLS = 7,             // the HTTPS connection failed (detail: the curl code)
  TAVIK_TS_FAILED_TRANSPORT = 8,       // another transfer failure (detail: the curl code)
  TAVIK_TS_FAILED_HTTP_STATUS = 9,     // a final HTTP status other than 200 (detail: it)
  TAVIK_TS_FAILED_TOO_LARGE = 10,      // the body passed the size limit
  TAVIK_TS_FAILED_MALFORMED = 11,      // the body is no time-stamp answer
  TAVIK_TS_FAILED_NOT_BOUND = 12,      // the answer is not for this request (imprint, nonce)
  TAVIK_TS_FAILED_BAD_SIGNATURE = 13,  // the answer's signature does not verify
  TAVIK_TS_FAILED_UNTRUSTED = 14,      // the signer is no trusted time-stamping authority
};

// Encode forms for TavikPKICertGetCertEncode.
enum {
  TAVIK_CERT_ENCODE_BASE64 = 2,  // base64 of the DER on one line, no terminator
};

// The software device. Null on failure. Release with TavikPKICryptoFreeDevice.
TAVIK_DEVICE_st* TavikPKICryptoGetPseudoDevice(void);
void TavikPKICryptoFreeDevice(TAVIK_DEVICE_st* device);

// A new digest of the given algorithm on the device; null for an unknown
// algorithm. The hash stays usable after its device is released.
TAVIK_HASH_st* TavikPKICryptoNewHash(TAVIK_DEVICE_st* device, int algorithm);
// Feeds length bytes; may be called any number of times.
int TavikPKICryptoHashUpdate(TAVIK_HASH_st* hash, const unsigned char* data, int length);
// Finishes the digest: *digest receives a library buffer, *length its size.
int TavikPKICryptoHashFinal(TAVIK_HASH_st* hash, unsigned char** digest, int* length);
void TavikPKICryptoFreeHash(TAVIK_HASH_st* hash);

// Returns a buffer or text handed out by any function of this library.
void TavikPKICryptoFreeMemory(void* memory);

// A certificate from its encoded bytes; null when they hold no certificate.
// The library keeps its own copy: the caller may free its bytes at once.
TAVIK_CERT_st* TavikPKICertNewCert(const unsigned char* encoded, int length);
// An independent copy, freed by its own TavikPKICertFreeCert; null on failure.
TAVIK_CERT_st* TavikPKICertDupCert(TAVIK_CERT_st* cert);
void TavikPKICertFreeCert(TAVIK_CERT_st* cert);
// A string attribute (ids above) as NUL-terminated UTF-8 in *text.
// An absent attribute is a failure and leaves *text untouched.
int TavikPKICertGetCertStringAttribute(TAVIK_CERT_st* cert, int attribute, char** text);
// The certificate encoded in the given form: *data a library buffer of *length bytes.
int TavikPKICertGetCertEncode(TAVIK_CERT_st* cert, int form, unsigned char** data, int* length);

// One RFC 3161 request. Null on failure. Release with TavikPKIMsgFreeTimeStamp.
TAVIK_TIMESTAMP_st* TavikPKIMsgNewTimeStamp(void);
void TavikPKIMsgFreeTimeStamp(TAVIK_TIMESTAMP_st* request);
// The authority's URL (system ANSI code page); the library keeps a copy.
int TavikPKIMsgTimeStampSetTSA(TAVIK_TIMESTAMP_st* request, const char* url);
int TavikPKIMsgTimeStampSetHashAlgorithm(TAVIK_TIMESTAMP_st* request, int algorithm);
// The message imprint; the library keeps a copy.
int TavikPKIMsgTimeStampSetMessageImprint(TAVIK_TIMESTAMP_st* request, const unsigned char* digest,
                                          int length);
// An addition of ours to the maker's interface (see docs/pki.md): the
// exchange of this request, connecting, redirects and reading included, ends
// within `milliseconds` (> 0); connecting within 5 s of it. Without this call
// the exchange has 15 s. Lets a caller spread one time budget over several
// authorities.
int TavikPKIMsgTimeStampSetTimeout(TAVIK_TIMESTAMP_st* request, int milliseconds);
// An addition of ours to the maker's interface (see docs/pki.md): ends the
// exchange of this request at once, whether it runs on another thread now or
// starts later; that TavikPKIMsgTimeStampGetResponse then returns 0. A
// cancelled request stays cancelled. Safe to call from any thread while
// another runs the exchange; the request must not be freed before both calls
// have returned. Returns 1; 0 for a null request. Lets a caller that asks
// several authorities at once abandon the others when one has answered.
int TavikPKIMsgTimeStampCancel(TAVIK_TIMESTAMP_st* request);
// Runs the exchange with the authority. Returns 1 when a well-formed answer to
// this very request arrived; *status receives its PKIStatus (0 granted,
// 1 granted with modifications, 2 rejection, ...).
int TavikPKIMsgTimeStampGetResponse(TAVIK_TIMESTAMP_st* request, int* status);
// The genTime of a granted answer as "YYYYMMDDHHMMSSZ" (a library text), or null.
char* TavikPKIMsgTimeStampGetTime(TAVIK_TIMESTAMP_st* request);
// The DER of the time-stamp token of a granted answer, as a library buffer.
int TavikPKIMsgTimeStampGetTimeStampToken(TAVIK_TIMESTAMP_st* request, unsigned char** token,
                                          int* length);
// An addition of ours (docs/pki.md): why the last TavikPKIMsgTimeStampGetResponse
// of this request returned 0. Returns 1 with *failure a TAVIK_TS_FAILED_* value
// and *detail its detail (an HTTP status or a libcurl code, else 0); returns 0
// when that call did not fail or was never made.
int TavikPKIMsgTimeStampGetFailure(TAVIK_TIMESTAMP_st* request, int* failure, int* detail);
// An addition of ours (see docs/receipt.md): the whole granted answer (DER
// TimeStampResp) exactly as the authority sent it, as a library buffer.
int TavikPKIMsgTimeStampGetResponseData(TAVIK_TIMESTAMP_st* request, unsigned char** data,
                                        int* length);

// An addition of ours (see docs/receipt.md): checks a stored time-stamp answer
// (answer, answer_length: DER TimeStampResp) as a receipt for the data bytes:
// granted, its imprint a SHA-256 or SM3 digest (any other algorithm, MD5 and
// SHA-1 included, is TAVIK_RECEIPT_WEAK_IMPRINT) of exactly these bytes, its
// signature sound and its signer a time-stamping authority that chains to
// today's trust anchors. Returns 1 when all hold, with *gen_time the stamped
// time "YYYYMMDDHHMMSSZ" and *authority the signer's subject (RFC 2253), both
// library texts, and *imprint_algorithm the imprint's digest id
// (TAVIK_HASH_TIMESTAMP for SHA-256, or TAVIK_HASH_SM3). Returns 0 otherwise
// with *reason set (TAVIK_RECEIPT_*) and nothing handed out.
int TavikPKIMsgTimeStampCheckReceipt(const unsigned char* answer, int answer_length,
                                     const unsigned char* data, int data_length, char** gen_time,
                                     char** authority, int* imprint_algorithm, int* reason);

#ifdef __cplusplus
}
#endif

#endif  // BREVALT_PLATFORM_TAVIK_PKI_H
