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
// successful Verify read it (two calls). The verification code of the same
// bytes must equal it: a caller that read the file on its own compares the
// two, so that what it shows and what the signature check read are one file.
int TavikSecretFileDecryptorGetFileDigest(CTavikFileDecryptor* handle, unsigned char* buffer,
                                          int* length);
// The number of bid openers and the minimum needed to open.
int TavikSecretFileDecryptorGetTotalNum(CTavikFileDecryptor* handle, int* count);
int TavikSecretFileDecryptorGetMinNum(CTavikFileDecryptor* handle, int* count);
// Closes the container and frees the handle.
int TavikSecretFileDecryptorReleaseHandle(CTavikFileDecryptor* handle);

#ifdef __cplusplus
}
#endif

#endif  // BREVALT_PLATFORM_TAVIK_SECRET_FILE_H
