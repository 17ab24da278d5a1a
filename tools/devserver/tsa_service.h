// The local RFC 3161 time-stamp authority: POST /tsa, built on OpenSSL's
// responder (TS_RESP_CTX). One service per file; DevServer registers each.
#ifndef BREVALT_TOOLS_DEVSERVER_TSA_SERVICE_H
#define BREVALT_TOOLS_DEVSERVER_TSA_SERVICE_H

#include <openssl/x509.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "devserver/tsa_identity.h"

namespace httplib {
class Server;
}

namespace brevalt::devserver {

struct TsaOptions {
  std::string cert_path;             // PEM; empty: generate a key and certificate at start
  std::string key_path;              // PEM; used with cert_path
  int64_t clock_offset_seconds = 0;  // added to this machine's clock for genTime
  int status = 0;                    // PKIStatus to answer with (0..5); 2..5 carry no token
  int delay_ms = 0;                  // wait this long before answering
  bool sm2 = false;                  // generate an SM2 authority (SM2-signed answers)
};

class TsaService {
 public:
  // The service with its signing identity; null with *error set on failure.
  static std::unique_ptr<TsaService> Create(const TsaOptions& options, std::string* error);

  // Adds POST /tsa and GET /tsa/requests (the decimal count of POST /tsa
  // requests received so far) to server. The service must outlive the
  // server's serving.
  void Register(httplib::Server& server);
  // The POST /tsa requests received so far, counted on arrival (before any
  // delay), answered or not.
  uint64_t requests() const { return requests_.load(); }

  // The DER TimeStampResp answering query (DER TimeStampReq). A query that is
  // not a TimeStampReq gets a rejection (badDataFormat). Empty on an internal
  // failure. Thread-safe.
  std::vector<unsigned char> Respond(std::span<const unsigned char> query);

  // The signing certificate (owned by the service).
  X509* certificate() const { return identity_.cert.get(); }
  // The CA that issued it when the identity was generated; null when it was
  // loaded from files.
  X509* ca_certificate() const { return identity_.ca.get(); }

  // Cuts short any answer that is still waiting out its delay.
  void BeginShutdown() { stopping_ = true; }

 private:
  explicit TsaService(const TsaOptions& options) : options_(options) {}
  void WaitDelay() const;
  std::vector<unsigned char> RespondSm2(std::span<const unsigned char> query);

  TsaOptions options_;
  TsaIdentity identity_;
  std::atomic<uint64_t> next_serial_{1};
  std::atomic<uint64_t> requests_{0};
  std::atomic<bool> stopping_{false};

  friend struct TsaCallbacks;
};

}  // namespace brevalt::devserver

#endif  // BREVALT_TOOLS_DEVSERVER_TSA_SERVICE_H
