// unique_ptr owners for the OpenSSL objects and C files the container code uses.
#ifndef BREVALT_PLATFORM_CONTAINER_OPENSSL_OWNERS_H
#define BREVALT_PLATFORM_CONTAINER_OPENSSL_OWNERS_H

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <cstdio>
#include <memory>

#include "platform/release_with.h"

namespace brevalt::container {

using brevalt::ReleaseWith;

using UniqueX509 = std::unique_ptr<X509, ReleaseWith<X509_free>>;
using UniqueKey = std::unique_ptr<EVP_PKEY, ReleaseWith<EVP_PKEY_free>>;
using UniqueCms = std::unique_ptr<CMS_ContentInfo, ReleaseWith<CMS_ContentInfo_free>>;
using UniqueMdCtx = std::unique_ptr<EVP_MD_CTX, ReleaseWith<EVP_MD_CTX_free>>;
using UniqueBio = std::unique_ptr<BIO, ReleaseWith<BIO_free_all>>;
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace brevalt::container

#endif  // BREVALT_PLATFORM_CONTAINER_OPENSSL_OWNERS_H
