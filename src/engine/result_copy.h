// A copy of a whole result record, certificates included.
#ifndef BREVALT_ENGINE_RESULT_COPY_H
#define BREVALT_ENGINE_RESULT_COPY_H

#include "record/verify_result.h"

namespace brevalt {

// Every field of result; each certificate is duplicated through the PKI
// library, so the copy owns its own (a certificate that cannot be duplicated
// is absent from the copy). Any thread; result must not change meanwhile.
CVerifyResult CopyOfResult(const CVerifyResult& result);

}  // namespace brevalt

#endif  // BREVALT_ENGINE_RESULT_COPY_H
