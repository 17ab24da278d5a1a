#include "fakes/fake_state.h"

#include <algorithm>
#include <cstring>

namespace brevalt::fake::detail {
namespace {

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::kDevice:
      return "device";
    case Kind::kHash:
      return "hash";
    case Kind::kCert:
      return "certificate";
    case Kind::kTimeStamp:
      return "time-stamp request";
    case Kind::kMemory:
      return "library buffer";
    case Kind::kContainer:
      return "container handle";
    case Kind::kRules:
      return "rules handle";
  }
  return "object";
}

std::string Describe(const Record& record) {
  return std::string(KindName(record.kind)) + " #" + std::to_string(record.id) + " from \"" +
         record.origin + "\"";
}

}  // namespace

void State::Clear() {
  functions.clear();
  call_counts.clear();
  hash_digest.reset();
  certs.clear();
  invalid_certs.clear();
  fail_dup_of.clear();
  tsa.clear();
  default_tsa = TsaScript{};
  tsa_asked.clear();
  container = ContainerScript{};
  container_for.clear();
  rules = RulesScript{};
  calls.clear();
  errors.clear();
  records.clear();
  storage.clear();
  next_id = 1;
}

int State::Begin(std::string_view function, std::string entry) {
  calls.push_back(std::move(entry));
  auto it = call_counts.find(function);
  if (it == call_counts.end())
    it = call_counts.emplace(std::string(function), 0).first;
  return ++it->second;
}

const FunctionScript* State::Find(std::string_view function) const {
  auto it = functions.find(function);
  return it == functions.end() ? nullptr : &it->second;
}

std::optional<int> State::Scripted(std::string_view function, int nth) const {
  const FunctionScript* script = Find(function);
  if (script == nullptr)
    return std::nullopt;
  if (auto it = script->result_on.find(nth); it != script->result_on.end())
    return it->second;
  return script->result;
}

std::optional<int> State::ScriptedPhase(std::string_view function, int nth, bool fill) const {
  if (auto code = Scripted(function, nth))
    return code;
  const FunctionScript* script = Find(function);
  if (script == nullptr)
    return std::nullopt;
  return fill ? script->fill_result : script->length_result;
}

bool State::ScriptedNull(std::string_view function, int nth) const {
  const FunctionScript* script = Find(function);
  return script != nullptr && (script->null || script->null_on.contains(nth));
}

void State::Register(Kind kind, const void* p) {
  records[p] = Record{kind, next_id++, calls.empty() ? std::string() : calls.back(), false};
}

unsigned char* State::HandOutMemory(std::string_view bytes) {
  std::shared_ptr<unsigned char[]> buffer(new unsigned char[bytes.size() + 1]);
  if (!bytes.empty())
    std::memcpy(buffer.get(), bytes.data(), bytes.size());
  buffer[bytes.size()] = 0;
  unsigned char* raw = buffer.get();
  storage.emplace_back(std::move(buffer));
  Register(Kind::kMemory, raw);
  return raw;
}

bool State::CheckLive(Kind kind, const void* p, std::string_view function) {
  if (p == nullptr)
    return false;
  auto it = records.find(p);
  std::string where = std::string(function) + ": ";
  if (it == records.end()) {
    errors.push_back(where + "a pointer the library never handed out");
    return false;
  }
  if (it->second.kind != kind) {
    errors.push_back(where + "expected a " + KindName(kind) + ", got " + Describe(it->second));
    return false;
  }
  if (it->second.released) {
    errors.push_back(where + "use after release of " + Describe(it->second));
    return false;
  }
  return true;
}

bool State::Holds(Kind kind, const void* p) const {
  auto it = records.find(p);
  return it != records.end() && it->second.kind == kind && !it->second.released;
}

void State::Release(Kind kind, const void* p, std::string_view function) {
  if (p == nullptr)
    return;
  auto it = records.find(p);
  std::string where = std::string(function) + ": ";
  if (it == records.end()) {
    errors.push_back(where + "release of a pointer the library never handed out");
  } else if (it->second.released) {
    errors.push_back(where + "double release of " + Describe(it->second));
  } else if (it->second.kind != kind) {
    errors.push_back(where + "expected a " + KindName(kind) + ", got " + Describe(it->second));
  } else {
    it->second.released = true;
  }
}

std::string State::DescribeOutstanding() const {
  std::vector<const Record*> open;
  for (const auto& [pointer, record] : records) {
    if (!record.released)
      open.push_back(&record);
  }
  std::sort(open.begin(), open.end(), [](auto* a, auto* b) { return a->id < b->id; });
  std::string text;
  for (const Record* record : open)
    text += "not returned: " + Describe(*record) + "\n";
  for (const std::string& error : errors)
    text += "error: " + error + "\n";
  return text;
}

int TwoCall(State& s, std::string_view function, std::string_view data, void* buffer, int* length,
            int failure) {
  if (length == nullptr)
    return failure;
  const int size = static_cast<int>(data.size());
  if (buffer == nullptr) {
    *length = size;
    return 0;
  }
  if (*length < size) {
    s.errors.push_back(std::string(function) + ": a buffer of " + std::to_string(*length) +
                       " bytes for " + std::to_string(size));
    return failure;
  }
  if (size > 0)
    std::memcpy(buffer, data.data(), data.size());
  *length = size;
  return 0;
}

int ReleaseLibraryHandle(State& s, std::string_view function, Kind kind, const void* handle,
                         int failure) {
  const int nth = s.Begin(function, std::string(function));
  const bool live = s.Holds(kind, handle);
  s.Release(kind, handle, function);
  if (auto code = s.Scripted(function, nth))
    return *code;
  return live ? 0 : failure;
}

std::string TwoCallEntry(std::string_view function, const void* buffer, const int* length) {
  return std::string(function) + (buffer == nullptr ? " buffer=null" : " buffer=set") +
         " length=" + (length == nullptr ? std::string("null") : std::to_string(*length));
}

State& Shared() {
  static State state;
  return state;
}

std::unique_lock<std::mutex> Lock() {
  return std::unique_lock<std::mutex>(Shared().mu);
}

}  // namespace brevalt::fake::detail
