#include "tools/bidx/seal_command.h"

#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/container_format.h"
#include "tavik/secretfile/container_writer.h"
#include "tavik/secretfile/file_input.h"
#include "tools/bidx/ephemeral_signer.h"
#include "tools/bidx/gbk_check.h"
#include "tools/bidx/key_files.h"
#include "tools/bidx/rules_document.h"

namespace brevalt::bidx {

namespace {

// Fills the custom data and, from the rules document, the counts the caller
// did not give. False (with a message) when a file cannot be read.
bool PrepareCustomData(const SealOptions& options, container::SealInput* input, std::ostream& err) {
  const bool rules = !options.rules_path.empty();
  const std::string& path = rules ? options.rules_path : options.custom_data_path;
  if (path.empty()) {
    return true;
  }
  std::vector<unsigned char> bytes;
  std::string why;
  if (!ReadSmallFile(path, container::kMaxCustomData - (rules ? kRulesHeaderSize : 0), &bytes,
                     &why)) {
    err << "bidx: " << (rules ? "rules document " : "custom data ") << path << ": " << why << "\n";
    return false;
  }
  if (!rules) {
    input->custom_data = std::move(bytes);
    return true;
  }
  if (const std::string not_gbk = WhyNotGbk(bytes); !not_gbk.empty()) {
    err << "bidx: warning: rules document " << path << " is not GBK text (" << not_gbk
        << "); the checker reads it as GBK; sealed as given\n";
  }
  const RuleCounts counts = ReadRuleCounts(bytes);
  if (!counts.total || !counts.min) {
    err << "bidx: warning: rules document " << path << " has no bidenv/source/rules/rule/m and n;"
        << " counts default to 1\n";
  }
  input->total_openers = counts.total.value_or(1);
  input->min_openers = counts.min.value_or(1);
  input->custom_data = WrapRulesFile(bytes);
  return true;
}

void WarnAboutCounts(const container::SealInput& input, std::ostream& err) {
  if (input.total_openers < 1 || input.min_openers < 1) {
    err << "bidx: warning: opener counts below 1 are sealed as given\n";
  }
  if (input.min_openers > input.total_openers) {
    err << "bidx: warning: the minimum is above the total; sealed as given\n";
  }
}

// Loads the signer; false (with a message naming the file and the cause)
// when the certificate or key cannot be used.
bool LoadSigner(const SealOptions& options, Signer* signer, std::ostream& err) {
  std::string why;
  signer->cert = LoadCertificate(options.cert_path, &why);
  if (!signer->cert) {
    err << "bidx: certificate " << options.cert_path << ": " << why << "\n";
    return false;
  }
  signer->key = LoadPrivateKey(options.key_path, &why);
  if (signer->key) {
    why = WhyKeyUnusable(signer->key.get(), signer->cert.get(), options.cert_path);
  }
  if (!why.empty()) {
    err << "bidx: key " << options.key_path << ": " << why << "\n";
    return false;
  }
  return true;
}

bool PayloadReadable(const std::string& path, std::ostream& err) {
  std::uint64_t size = 0;
  if (path.empty() || container::OpenRegularFile(path, &size)) {
    return true;
  }
  err << "bidx: payload " << path << ": " << WhyUnreadable(path) << "\n";
  return false;
}

}  // namespace

int RunSeal(const SealOptions& options, std::ostream& err) {
  container::SealInput input;
  Signer signer;
  if (!PrepareCustomData(options, &input, err) || !LoadSigner(options, &signer, err) ||
      !PayloadReadable(options.payload_path, err)) {
    return 1;
  }
  input.total_openers = options.total.value_or(input.total_openers);
  input.min_openers = options.min.value_or(input.min_openers);
  WarnAboutCounts(input, err);
  input.certificate = CertificateDer(signer.cert.get());
  input.payload_path = options.payload_path;
  input.signing_cert = signer.cert.get();
  input.signing_key = signer.key.get();
  const int rc = container::SealContainer(options.out_path, input);
  if (rc != container::kOk) {
    err << "bidx: cannot seal " << options.out_path << ": " << container::ErrorText(rc) << " (code "
        << rc << ")\n";
    return 1;
  }
  return 0;
}

}  // namespace brevalt::bidx
