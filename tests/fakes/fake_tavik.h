// A scriptable in-memory double of the closed PKI, container and rules-file
// libraries (every function of tavik/tavik_pki.h, tavik_pki_ui.h,
// tavik_secret_file.h and tavik_bid_rules_file.h).
//
// Link brevalt_fake_tavik instead of the real libraries. By default the fake
// behaves like a working library:
//  - digests (both 4096 and 8192) are the SHA-256 of the fed bytes, computed
//    with OpenSSL EVP; any other algorithm id gives a null hash;
//  - TavikPKICertNewCert builds a certificate whose identity is its bytes;
//    null / length <= 0 / bytes registered as invalid give null; unregistered
//    bytes give a certificate without attributes; encode form 2 gives the
//    base64 of the identity bytes (other forms fail);
//  - a time-stamp request is granted (result 1, status 0) with the current UTC
//    time as "YYYYMMDDHHMMSSZ" and the token "TOKEN";
//  - a container gives the signer certificate bytes "SIGNER", empty custom
//    data, total 1 and minimum 1;
//  - a rules file has empty organisation and open time and no certificates;
//    CompareFile gives 0 when the bytes equal RulesScript::rules_file, else 1.
//  - the fake's own failures (bad handle, unknown index, buffer too small)
//    return 0 in the PKI library and 1 in the container and rules libraries.
// GetTime and GetTimeStampToken answer with their script whatever the status
// was, so a caller that skips the status check is caught.
//
// Every call is logged as "FunctionName key=value ..." (see Calls()). Every
// object and buffer handed out is tracked until it is returned; returning
// something never handed out, returning twice, or using a released object is
// recorded as an error (never a crash). Freed memory stays reserved until
// Reset() so a stale pointer is never reused by a later allocation.
//
// All functions here and the C functions are thread-safe (one mutex).
// Byte strings are std::string (they may hold any byte, including NUL).
// Every script member has a default, so designated initializers such as
// fake::SetContainer({.custom_data = bytes}) name only what a test changes.
#ifndef BREVALT_TESTS_FAKES_FAKE_TAVIK_H
#define BREVALT_TESTS_FAKES_FAKE_TAVIK_H

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevalt::fake {

// ---- Setup -----------------------------------------------------------------

// Forgets every script, the call log, the errors, and frees everything still
// outstanding. Call at the start of each test (FakeTavikTest does).
void Reset();

// ---- Results of any function -------------------------------------------------
// `function` is the exact C name, e.g. "TavikSecretFileDecryptorVerify".
// Call numbers count from 1 since Reset(), per function.

// Every later call of the int-returning function returns `code` without doing
// its work (outputs untouched; a CreateHandle with a non-zero code writes null;
// a ReleaseHandle still releases; a GetResponse still counts as asked).
void SetResult(std::string_view function, int code);
// Only call number `nth` of the function returns `code`.
void SetResultOnCall(std::string_view function, int nth, int code);
// Two-call functions: the length query (null buffer) returns `code`.
void SetLengthCallResult(std::string_view function, int code);
// Two-call functions (and rules GetCert): the call with a buffer returns `code`.
void SetFillCallResult(std::string_view function, int code);
// Pointer-giving functions (GetPseudoDevice, NewHash, NewCert, DupCert,
// NewTimeStamp, GetTime, and both CreateHandle functions, which then write a
// null handle and return 0 unless SetResult says otherwise) give null.
void ReturnNull(std::string_view function);
// Only call number `nth` of the pointer-giving function gives null.
void ReturnNullOnCall(std::string_view function, int nth);

// ---- PKI: digests ---------------------------------------------------------------

// HashFinal hands out these bytes instead of the SHA-256 of the fed bytes.
void SetHashDigest(std::string digest);

// ---- PKI: certificates ----------------------------------------------------------

struct CertScript {
  std::map<int, std::string> attributes{};  // attribute id -> UTF-8 text; absent id fails
  std::optional<std::string> encoded{};     // form 2 output; default base64 of the bytes
};
// Certificates built from exactly these bytes get this script.
void RegisterCert(std::string bytes, CertScript script);
// TavikPKICertNewCert gives null for exactly these bytes.
void RegisterInvalidCert(std::string bytes);
// Call number `nth` of TavikPKICertDupCert gives null (same as ReturnNullOnCall).
void FailDupOnCall(int nth);
// Every duplicate of a certificate built from these bytes fails (null).
void FailDupOf(std::string bytes);

// ---- PKI: time stamps -----------------------------------------------------------

struct TsaScript {
  int set_tsa_result = 1;                      // TavikPKIMsgTimeStampSetTSA
  int response_result = 1;                     // TavikPKIMsgTimeStampGetResponse
  int status = 0;                              // its *status (when it returns 1)
  std::string time{};                          // GetTime text; "" = now, UTC
  bool no_time = false;                        // GetTime gives null
  std::optional<std::string> token = "TOKEN";  // nullopt: GetTimeStampToken fails
};
// Requests whose SetTSA URL equals `url` follow this script.
void ScriptTsa(std::string url, TsaScript script);
// Requests to any URL without its own script follow this one.
void SetDefaultTsa(TsaScript script);
// The URLs that TavikPKIMsgTimeStampGetResponse was run against, in order.
std::vector<std::string> TsaUrlsAsked();

// ---- Container library ----------------------------------------------------------

struct ContainerScript {
  std::string sign_cert = "SIGNER";  // GetSignCert bytes
  std::string custom_data{};         // GetCustomData bytes
  int total = 1;                     // GetTotalNum count
  int min = 1;                       // GetMinNum count
  // GetFileDigest bytes; by default the digest the fake hash gives for the
  // file at the handle's path, read when asked (empty when it cannot be read).
  std::optional<std::string> file_digest{};
};
// Every container handle follows this script (unless its path has its own).
void SetContainer(ContainerScript script);
// Handles created for exactly this path follow this script.
void SetContainerFor(std::string path, ContainerScript script);

// ---- Rules-file library ---------------------------------------------------------

struct RulesScript {
  std::string open_org{};            // GetOpenOrg text (ANSI code page bytes)
  std::string open_time{};           // GetOpenTime text
  std::vector<std::string> certs{};  // opener certificate bytes, by index
  std::optional<int> cert_count{};   // GetCertCount; default certs.size()
  std::string rules_file{};          // CompareFile gives 0 for these bytes, else 1
};
// Every rules handle follows this script.
void SetRules(RulesScript script);

// ---- Call log ---------------------------------------------------------------------

// Every call in order. An entry is the function name, then its key arguments:
//   TavikPKICryptoNewHash algorithm=4096      TavikPKICryptoHashUpdate len=8192
//   TavikPKICertNewCert len=3                 TavikPKICertGetCertStringAttribute attribute=16
//   TavikPKICertGetCertEncode form=2          TavikPKIUIDisplayCert cert=<bytes>|null
//   TavikPKIMsgTimeStampSetTSA url=<url>      TavikPKIMsgTimeStampSetHashAlgorithm algorithm=8192
//   TavikPKIMsgTimeStampSetMessageImprint len=32
//   TavikPKIMsgTimeStampSetTimeout ms=<milliseconds>  (accepted when > 0; time never passes)
//   TavikPKIMsgTimeStampGetResponse url=<url set by SetTSA, or (none)>
//   TavikPKIMsgTimeStampCancel                TavikBidRulesFileSetTimeout ms=<milliseconds>
//   TavikSecretFileDecryptorCreateHandle path=<path>
//   TavikSecretFileDecryptorSetFolder folder=<folder>
//   TavikSecretFileDecryptorGetSignCert buffer=null length=0   (also GetCustomData,
//       rules GetOpenOrg and GetOpenTime; "buffer=set length=<length passed in>")
//   TavikBidRulesFileSetTargetUrl url=<url>   TavikBidRulesFileGetRules query=<query bytes>
//   TavikBidRulesFileCompareFile len=<n>      TavikBidRulesFileGetCertLen index=<i>
//   TavikBidRulesFileGetCert index=<i>
// Every other entry is the bare function name (frees, releases, Verify, counts ...).
std::vector<std::string> Calls();
// The entries of one function only, in order.
std::vector<std::string> Calls(std::string_view function);
// Just the function names, in order.
std::vector<std::string> CallNames();
// How many times `function` was called.
int CallCount(std::string_view function);
// True when any function of any of the four libraries was called.
bool AnyCall();
// All entries joined by newlines (for failure messages).
std::string CallLog();

// ---- Accounting ---------------------------------------------------------------------

// A readable list of what is not returned yet, then the errors (bad frees,
// double frees, use of released or unknown objects); "" when clean.
std::string Outstanding();
// True when nothing is outstanding and no error was recorded.
bool AllReleased();
// The errors only, in order.
std::vector<std::string> Errors();
// gtest check: a non-fatal failure listing Outstanding() unless AllReleased().
void ExpectAllReleased();

// Resets on construction; checks ExpectAllReleased() on destruction.
class ScopedFake {
 public:
  ScopedFake() { Reset(); }
  ~ScopedFake() { ExpectAllReleased(); }
  ScopedFake(const ScopedFake&) = delete;
  ScopedFake& operator=(const ScopedFake&) = delete;
};

// Fixture base: Reset() in SetUp, ExpectAllReleased() in TearDown. A derived
// fixture that holds library objects in members releases them in its own
// TearDown before calling this one (members die only after TearDown).
class FakeTavikTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { ExpectAllReleased(); }
};

}  // namespace brevalt::fake

#endif  // BREVALT_TESTS_FAKES_FAKE_TAVIK_H
