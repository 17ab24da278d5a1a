// The PKI library's certificate viewer.
#ifndef BREVALT_PLATFORM_TAVIK_PKI_UI_H
#define BREVALT_PLATFORM_TAVIK_PKI_UI_H

#include "tavik/tavik_pki.h"

#ifdef __cplusplus
extern "C" {
#endif

// Shows the certificate in a modal viewer owned by the given window (a toolkit
// window pointer, may be null). Callers ignore the result (1 = success).
int TavikPKIUIDisplayCert(void* owner_window, TAVIK_CERT_st* cert);

#ifdef __cplusplus
}
#endif

#endif  // BREVALT_PLATFORM_TAVIK_PKI_UI_H
