#include "tools/bidx/seal_command.h"

#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/container_format.h"
#include "tavik/secretfile/container_writer.h"
#include "tools/bidx/key_files.h"
#include "tools/bidx/rules_document.h"

namespace brevalt::bidx {

namespace {

constexpr std::size_t kRulesHeaderSize = 8;  // "RULF" and the length

// Fills the custom data and, from the rules document, the counts the caller
// did not give. False (with a message) when a file cannot be read.
bool PrepareCustomData(const SealOptions& options, container::SealInput* input, std::ostream& err) {
  const std::string& path =
      options.rules_path.empty() ? options.custom_data_path : options.rules_path;
  if (path.empty()) {
    return true;
  }
  std::vector<unsigned char> bytes;
  const std::size_t limit =
      container::kMaxCustomData - (options.rules_path.empty() ? 0 : kRulesHeaderSize);
  if (!ReadSmallFile(path, limit, &bytes)) {
    err << "bidx: cannot read " << path << " (missing, or above " << limit << " bytes)\n";
    return false;
  }
  if (options.rules_path.empty()) {
    input->custom_data = std::move(bytes);
    return true;
  }
  const RuleCounts counts = ReadRuleCounts(bytes);
  if (!counts.total || !counts.min) {
    err << "bidx: warning: " << path << " has no bidenv/source/rules/rule/m and n;"
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

}  // namespace

int RunSeal(const SealOptions& options, std::ostream& err) {
  container::SealInput input;
  if (!PrepareCustomData(options, &input, err)) {
    return 1;
  }
  input.total_openers = options.total.value_or(input.total_openers);
  input.min_openers = options.min.value_or(input.min_openers);
  WarnAboutCounts(input, err);
  container::UniqueX509 cert = LoadCertificate(options.cert_path);
  container::UniqueKey key = LoadPrivateKey(options.key_path);
  if (!cert || !key) {
    err << "bidx: cannot load the "
        << (cert ? "key " + options.key_path : "certificate " + options.cert_path)
        << " (PEM or DER expected)\n";
    return 1;
  }
  input.certificate = CertificateDer(cert.get());
  input.payload_path = options.payload_path;
  input.signing_cert = cert.get();
  input.signing_key = key.get();
  const int rc = container::SealContainer(options.out_path, input);
  if (rc != container::kOk) {
    err << "bidx: sealing failed: " << container::ErrorText(rc) << " (code " << rc << ")\n";
    return 1;
  }
  return 0;
}

}  // namespace brevalt::bidx
