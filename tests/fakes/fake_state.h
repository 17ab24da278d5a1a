// The fake libraries' shared state: scripts, call log and the registry of
// everything handed out. Internal to brevalt_fake_tavik.
//
// Every member function expects the caller to hold the lock from Lock().
#ifndef BREVALT_TESTS_FAKES_FAKE_STATE_H
#define BREVALT_TESTS_FAKES_FAKE_STATE_H

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/fake_tavik.h"
#include "tavik/tavik_bid_rules_file.h"
#include "tavik/tavik_pki.h"
#include "tavik/tavik_secret_file.h"

// The opaque library types, as the fake models them.
struct TAVIK_DEVICE_st {
  int unused = 0;
};
struct TAVIK_HASH_st {
  int algorithm = 0;
  std::string fed;  // every byte fed so far
  bool finished = false;
};
struct TAVIK_CERT_st {
  std::string identity;  // the bytes it was built from
};
struct TAVIK_TIMESTAMP_st {
  std::string url;
  bool has_url = false;
  bool answered = false;  // GetResponse returned 1
};
struct CTavikFileDecryptor {
  std::string path;
};
struct CTavikBidRulesFile {
  std::string url;
};

namespace brevalt::fake::detail {

// What the fake container and rules-file libraries return for their own
// failures.
inline constexpr int kFailure = 1;

enum class Kind { kDevice, kHash, kCert, kTimeStamp, kMemory, kContainer, kRules };

// One object or buffer handed out.
struct Record {
  Kind kind;
  int id;
  std::string origin;  // the call entry that handed it out
  bool released = false;
};

// Per-function result scripting.
struct FunctionScript {
  std::optional<int> result;
  std::map<int, int> result_on;  // call number -> code
  std::optional<int> length_result;
  std::optional<int> fill_result;
  bool null = false;
  std::set<int> null_on;
};

struct State {
  std::mutex mu;

  std::map<std::string, FunctionScript, std::less<>> functions;
  std::map<std::string, int, std::less<>> call_counts;
  std::optional<std::string> hash_digest;
  std::map<std::string, CertScript> certs;
  std::set<std::string> invalid_certs;
  std::set<std::string> fail_dup_of;
  std::map<std::string, TsaScript> tsa;
  TsaScript default_tsa;
  std::vector<std::string> tsa_asked;
  ContainerScript container;
  std::map<std::string, ContainerScript> container_for;
  RulesScript rules;

  std::vector<std::string> calls;
  std::vector<std::string> errors;
  std::map<const void*, Record> records;
  std::vector<std::shared_ptr<void>> storage;  // kept alive until Reset
  int next_id = 1;

  // Clears everything above except the mutex.
  void Clear();

  // Logs `entry` (which starts with the function name) and returns the
  // function's call number, counted from 1.
  int Begin(std::string_view function, std::string entry);
  // The scripted result for call `nth` of `function`, if any.
  std::optional<int> Scripted(std::string_view function, int nth) const;
  // Two-call functions: the scripted result for the length or fill call.
  std::optional<int> ScriptedPhase(std::string_view function, int nth, bool fill) const;
  // True when call `nth` of `function` must give null.
  bool ScriptedNull(std::string_view function, int nth) const;

  // Keeps `object` alive and registers it as handed out by the last call.
  template <typename T>
  T* HandOut(Kind kind, std::shared_ptr<T> object) {
    T* raw = object.get();
    storage.push_back(std::move(object));
    Register(kind, raw);
    return raw;
  }
  // A library buffer holding `bytes` plus a NUL after them.
  unsigned char* HandOutMemory(std::string_view bytes);

  // `p` when it is a live object of `kind`; null otherwise. A non-null
  // pointer that is not live is recorded as an error of `function`.
  template <typename T>
  T* Live(Kind kind, T* p, std::string_view function) {
    return CheckLive(kind, p, function) ? p : nullptr;
  }
  // True when `p` is a live object of `kind`; records nothing.
  bool Holds(Kind kind, const void* p) const;
  // Marks `p` returned. Null is a no-op; anything else not live is an error.
  void Release(Kind kind, const void* p, std::string_view function);

  std::string DescribeOutstanding() const;

 private:
  void Register(Kind kind, const void* p);
  bool CheckLive(Kind kind, const void* p, std::string_view function);
  const FunctionScript* Find(std::string_view function) const;
};

// One call of a two-call function whose answer is `data`: with a null buffer
// sets *length to data's size; with a buffer copies data when *length (the
// capacity) holds it and sets *length to its size. Failures give `failure`; a
// too small buffer is also recorded as an error. The caller checks scripts first.
int TwoCall(State& s, std::string_view function, std::string_view data, void* buffer, int* length,
            int failure);

// ReleaseHandle of the container and rules libraries: frees the handle
// whatever the scripted result; 0 when it was live, else `failure`.
int ReleaseLibraryHandle(State& s, std::string_view function, Kind kind, const void* handle,
                         int failure);

// The log entry of a two-call function: "Name buffer=null length=0".
std::string TwoCallEntry(std::string_view function, const void* buffer, const int* length);

// The one state; lock State::mu around every use.
State& Shared();
std::unique_lock<std::mutex> Lock();

}  // namespace brevalt::fake::detail

#endif  // BREVALT_TESTS_FAKES_FAKE_STATE_H
