// The scripting and inspection functions of fake_tavik.h.
#include <algorithm>

#include "fakes/fake_state.h"

namespace brevalt::fake {
namespace {

using detail::Lock;
using detail::Shared;

detail::FunctionScript& ScriptOf(std::string_view function) {
  auto& functions = Shared().functions;
  auto it = functions.find(function);
  if (it == functions.end())
    it = functions.emplace(std::string(function), detail::FunctionScript{}).first;
  return it->second;
}

// The function name of a log entry: everything before the first blank.
std::string_view NameOf(std::string_view entry) {
  return entry.substr(0, entry.find(' '));
}

}  // namespace

void Reset() {
  auto lock = Lock();
  Shared().Clear();
}

void SetResult(std::string_view function, int code) {
  auto lock = Lock();
  ScriptOf(function).result = code;
}

void SetResultOnCall(std::string_view function, int nth, int code) {
  auto lock = Lock();
  ScriptOf(function).result_on[nth] = code;
}

void SetLengthCallResult(std::string_view function, int code) {
  auto lock = Lock();
  ScriptOf(function).length_result = code;
}

void SetFillCallResult(std::string_view function, int code) {
  auto lock = Lock();
  ScriptOf(function).fill_result = code;
}

void ReturnNull(std::string_view function) {
  auto lock = Lock();
  ScriptOf(function).null = true;
}

void ReturnNullOnCall(std::string_view function, int nth) {
  auto lock = Lock();
  ScriptOf(function).null_on.insert(nth);
}

void SetHashDigest(std::string digest) {
  auto lock = Lock();
  Shared().hash_digest = std::move(digest);
}

void RegisterCert(std::string bytes, CertScript script) {
  auto lock = Lock();
  Shared().certs[std::move(bytes)] = std::move(script);
}

void RegisterInvalidCert(std::string bytes) {
  auto lock = Lock();
  Shared().invalid_certs.insert(std::move(bytes));
}

void FailDupOnCall(int nth) {
  ReturnNullOnCall("TavikPKICertDupCert", nth);
}

void FailDupOf(std::string bytes) {
  auto lock = Lock();
  Shared().fail_dup_of.insert(std::move(bytes));
}

void ScriptTsa(std::string url, TsaScript script) {
  auto lock = Lock();
  Shared().tsa[std::move(url)] = std::move(script);
}

void SetDefaultTsa(TsaScript script) {
  auto lock = Lock();
  Shared().default_tsa = std::move(script);
}

std::vector<std::string> TsaUrlsAsked() {
  auto lock = Lock();
  return Shared().tsa_asked;
}

void SetContainer(ContainerScript script) {
  auto lock = Lock();
  Shared().container = std::move(script);
}

void SetContainerFor(std::string path, ContainerScript script) {
  auto lock = Lock();
  Shared().container_for[std::move(path)] = std::move(script);
}

void SetRules(RulesScript script) {
  auto lock = Lock();
  Shared().rules = std::move(script);
}

std::vector<std::string> Calls() {
  auto lock = Lock();
  return Shared().calls;
}

std::vector<std::string> Calls(std::string_view function) {
  auto lock = Lock();
  std::vector<std::string> entries;
  for (const std::string& entry : Shared().calls) {
    if (NameOf(entry) == function)
      entries.push_back(entry);
  }
  return entries;
}

std::vector<std::string> CallNames() {
  auto lock = Lock();
  std::vector<std::string> names;
  for (const std::string& entry : Shared().calls)
    names.emplace_back(NameOf(entry));
  return names;
}

int CallCount(std::string_view function) {
  auto lock = Lock();
  const auto& counts = Shared().call_counts;
  auto it = counts.find(function);
  return it == counts.end() ? 0 : it->second;
}

bool AnyCall() {
  auto lock = Lock();
  return !Shared().calls.empty();
}

std::string CallLog() {
  auto lock = Lock();
  std::string text;
  for (const std::string& entry : Shared().calls)
    text += entry + "\n";
  return text;
}

std::string Outstanding() {
  auto lock = Lock();
  return Shared().DescribeOutstanding();
}

bool AllReleased() {
  return Outstanding().empty();
}

std::vector<std::string> Errors() {
  auto lock = Lock();
  return Shared().errors;
}

void ExpectAllReleased() {
  const std::string outstanding = Outstanding();
  EXPECT_TRUE(outstanding.empty()) << "The closed-library fake still holds:\n" << outstanding;
}

}  // namespace brevalt::fake
