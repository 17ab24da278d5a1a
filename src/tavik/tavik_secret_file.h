// The sealed bid container library.
//
// A C interface. Every operation returns 0 on success and a positive error code
// otherwise. Variable-length outputs use the two-call protocol: call first with
// a null buffer and *length preset to 0 to learn the length, then again with a
// zeroed buffer of that length; *length then holds the bytes written.
// Paths and folders are UTF-8.
#ifndef BREVALT_PLATFORM_TAVIK_SECRET_FILE_H
#define BREVALT_PLATFORM_TAVIK_SECRET_FILE_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct CTavikFileDecryptor CTavikFileDecryptor;  // one open bid container

// Creates a handle for the bid file at path into *handle.
int TavikSecretFileDecryptorCreateHandle(CTavikFileDecryptor** handle, const char* path);
// Stores the working folder; nothing is written there while verifying.
int TavikSecretFileDecryptorSetFolder(CTavikFileDecryptor* handle, const char* folder);
// Verifies the container structure and the bidder's signature over it.
int TavikSecretFileDecryptorVerify(CTavikFileDecryptor* handle);
// The signer certificate's encoded bytes (two calls).
int TavikSecretFileDecryptorGetSignCert(CTavikFileDecryptor* handle, unsigned char* buffer,
                                        int* length);
// The custom data block exactly as sealed (two calls).
int TavikSecretFileDecryptorGetCustomData(CTavikFileDecryptor* handle, unsigned char* buffer,
                                          int* length);
// The digest (SHA-256, 32 bytes) of every byte of the file exactly as the last
// successful Verify read it (two calls). The verification run shows it as
// the verification code, so that what it shows and what the signature check
// read are one file, read once.
int TavikSecretFileDecryptorGetFileDigest(CTavikFileDecryptor* handle, unsigned char* buffer,
                                          int* length);
// The number of bid openers and the minimum needed to open.
int TavikSecretFileDecryptorGetTotalNum(CTavikFileDecryptor* handle, int* count);
int TavikSecretFileDecryptorGetMinNum(CTavikFileDecryptor* handle, int* count);
// Closes the container and frees the handle.
int TavikSecretFileDecryptorReleaseHandle(CTavikFileDecryptor* handle);

// Additions of ours to the maker's interface (docs/container.md), so that
// callers outside the library name its codes and texts through this header.

// Codes that callers tell apart; the full list is in docs/container.md. The
// codes from FILE_OPEN below CERT_MALFORMED concern the file and the
// container's structure; from CERT_MALFORMED below FILE_WRITE, the
// certificate, the signature and the signer's chain.
enum {
  TAVIK_SECRETFILE_ERR_FILE_OPEN = 10,
  TAVIK_SECRETFILE_ERR_FILE_READ = 11,
  TAVIK_SECRETFILE_ERR_CERT_MALFORMED = 30,
  TAVIK_SECRETFILE_ERR_SIGNER_NOT_TRUSTED = 38,
  TAVIK_SECRETFILE_ERR_FILE_WRITE = 40,
};
// A short English text for a code of this library; never null, static.
const char* TavikSecretFileErrorText(int code);

// Whether a certificate chains to the user's bidder trust anchors.
enum {
  TAVIK_CHAIN_VERIFIED = 0,   // chains to an anchor
  TAVIK_CHAIN_UNCHECKED = 1,  // no anchors: not checked
  TAVIK_CHAIN_REFUSED = 2,    // anchors present and no chain (or a DER that does not parse)
};
// Checks the length DER bytes of a certificate against the anchors of
// <per-user data folder>/trust/bidder into *status. 0, or 1 for a null
// pointer or a negative length.
int TavikSecretFileCheckBidderChain(const unsigned char* der, int length, int* status);
// "verified", "unchecked" or "refused"; "unknown" for another value. Static.
const char* TavikSecretFileChainStatusName(int status);

// The anchor files of a trust folder (a UTF-8 path) for people: "none", or
// each file with its number of certificates or why it was refused (two
// calls; *length counts the text without a terminator, and a buffer one
// byte longer receives it terminated). 0, 1 for a null length, 2 when out of
// memory, 4 when the buffer is too small.
int TavikSecretFileDescribeAnchorFolder(const char* folder, char* buffer, int* length);

#ifdef __cplusplus
}
#endif

#endif  // BREVALT_PLATFORM_TAVIK_SECRET_FILE_H
