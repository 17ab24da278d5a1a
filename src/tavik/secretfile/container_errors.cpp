#include "tavik/secretfile/container_errors.h"

#include "tavik/calling_errors.h"

namespace brevalt::container {

const char* ErrorText(int code) {
  if (const char* shared = tavik::CallingErrorText(code))
    return shared;
  switch (code) {
    case kNotVerified:
      return "container not verified yet";
    case kFileOpenFailed:
      return "cannot open the file for reading";
    case kFileReadFailed:
      return "read error, or the file changed while being read";
    case kNotAContainer:
      return "not a bid container (bad magic)";
    case kUnsupportedVersion:
      return "unsupported container version";
    case kTruncated:
      return "file is truncated";
    case kTrailingBytes:
      return "unexpected bytes after the signature";
    case kLengthOutOfRange:
      return "a block length exceeds the format limit";
    case kCertificateMalformed:
      return "signer certificate is malformed";
    case kSignatureMalformed:
      return "signature block is malformed";
    case kUnsupportedAlgorithm:
      return "unsupported digest or signature algorithm";
    case kSignerMismatch:
      return "signature was not made for the embedded certificate";
    case kContentDigestMismatch:
      return "signed bytes were changed after sealing";
    case kSignatureInvalid:
      return "signature does not verify";
    case kSignatureNotCanonical:
      return "signature block is not in canonical DER";
    case kSignatureUnexpectedForm:
      return "signature block holds a version, field or attribute the sealer never writes";
    case kSignerNotTrusted:
      return "signer certificate does not chain to a bidder trust anchor";
    case kFileWriteFailed:
      return "cannot write the output file";
    case kSigningFailed:
      return "signing failed";
    default:
      return "unknown error";
  }
}

}  // namespace brevalt::container
