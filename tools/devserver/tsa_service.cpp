#include "devserver/tsa_service.h"

#include <httplib.h>
#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/ts.h>
#include <sys/time.h>

#include <chrono>
#include <climits>
#include <ctime>
#include <string>
#include <thread>
#include "devserver/sm2_time_stamp.h"
#include "platform/release_with.h"

namespace brevalt::devserver {

// An arbitrary policy under the documentation enterprise number (RFC 5612).
constexpr const char* kPolicyOid = "1.3.6.1.4.1.32473.1.1";

using RespCtxPtr = std::unique_ptr<TS_RESP_CTX, ReleaseWith<TS_RESP_CTX_free>>;
using RespPtr = std::unique_ptr<TS_RESP, ReleaseWith<TS_RESP_free>>;
using StatusPtr = std::unique_ptr<TS_STATUS_INFO, ReleaseWith<TS_STATUS_INFO_free>>;
using BioPtr = std::unique_ptr<BIO, ReleaseWith<BIO_free_all>>;
using ObjectPtr = std::unique_ptr<ASN1_OBJECT, ReleaseWith<ASN1_OBJECT_free>>;

// The responder's callbacks: genTime from the shifted clock, increasing serials.
struct TsaCallbacks {
  static int Time(TS_RESP_CTX*, void* data, long* sec, long* usec) {
    const auto* service = static_cast<const TsaService*>(data);
    struct timeval now = {};
    gettimeofday(&now, nullptr);
    *sec = static_cast<long>(now.tv_sec + service->options_.clock_offset_seconds);
    *usec = static_cast<long>(now.tv_usec);
    return 1;
  }
  static ASN1_INTEGER* Serial(TS_RESP_CTX*, void* data) {
    auto* service = static_cast<TsaService*>(data);
    ASN1_INTEGER* serial = ASN1_INTEGER_new();
    if (serial != nullptr && ASN1_INTEGER_set_uint64(serial, service->next_serial_++) != 1) {
      ASN1_INTEGER_free(serial);
      return nullptr;
    }
    return serial;
  }
};

namespace {

RespCtxPtr MakeContext(TsaService* service, X509* cert, EVP_PKEY* key) {
  RespCtxPtr ctx(TS_RESP_CTX_new());
  ObjectPtr policy(OBJ_txt2obj(kPolicyOid, 1));
  if (!ctx || !policy || TS_RESP_CTX_set_signer_cert(ctx.get(), cert) != 1 ||
      TS_RESP_CTX_set_signer_key(ctx.get(), key) != 1 ||
      TS_RESP_CTX_set_signer_digest(ctx.get(), EVP_sha256()) != 1 ||
      TS_RESP_CTX_set_ess_cert_id_digest(ctx.get(), EVP_sha256()) != 1 ||
      TS_RESP_CTX_set_def_policy(ctx.get(), policy.get()) != 1 ||
      TS_RESP_CTX_add_md(ctx.get(), EVP_sha256()) != 1 ||
      TS_RESP_CTX_add_md(ctx.get(), EVP_sha384()) != 1 ||
      TS_RESP_CTX_add_md(ctx.get(), EVP_sha512()) != 1 ||
      TS_RESP_CTX_add_md(ctx.get(), EVP_sm3()) != 1 ||
      TS_RESP_CTX_set_accuracy(ctx.get(), 1, 0, 0) != 1) {
    return nullptr;
  }
  TS_RESP_CTX_add_flags(ctx.get(), TS_TSA_NAME);
  TS_RESP_CTX_set_time_cb(ctx.get(), &TsaCallbacks::Time, service);
  TS_RESP_CTX_set_serial_cb(ctx.get(), &TsaCallbacks::Serial, service);
  return ctx;
}

// A response that carries only the given status (no token).
RespPtr StatusOnlyResponse(int status) {
  RespPtr response(TS_RESP_new());
  StatusPtr info(TS_STATUS_INFO_new());
  if (!response || !info || TS_STATUS_INFO_set_status(info.get(), status) != 1 ||
      TS_RESP_set_status_info(response.get(), info.get()) != 1) {
    return nullptr;
  }
  return response;
}

std::vector<unsigned char> Encode(TS_RESP* response) {
  unsigned char* der = nullptr;
  const int size = i2d_TS_RESP(response, &der);
  if (size <= 0) {
    return {};
  }
  std::vector<unsigned char> bytes(der, der + size);
  OPENSSL_free(der);
  return bytes;
}

}  // namespace

std::unique_ptr<TsaService> TsaService::Create(const TsaOptions& options, std::string* error) {
  if (options.status < 0 || options.status > 5 || options.delay_ms < 0) {
    *error = "status must lie in 0..5 and the delay must not be negative";
    return nullptr;
  }
  std::unique_ptr<TsaService> service(new TsaService(options));
  const bool ready =
      options.cert_path.empty()
          ? GenerateTsaIdentity(&service->identity_, options.sm2)
          : LoadTsaIdentity(options.cert_path, options.key_path, &service->identity_, error);
  if (!ready) {
    if (error->empty()) {
      *error = "cannot create the TSA key and certificate";
    }
    return nullptr;
  }
  return service;
}

std::vector<unsigned char> TsaService::Respond(std::span<const unsigned char> query) {
  if (options_.status >= 2) {
    RespPtr rejection = StatusOnlyResponse(options_.status);
    return rejection ? Encode(rejection.get()) : std::vector<unsigned char>{};
  }
  if (query.size() > static_cast<size_t>(INT_MAX)) {
    return {};
  }
  if (sm2::IsSm2Key(identity_.key.get())) {
    return RespondSm2(query);
  }
  RespCtxPtr ctx = MakeContext(this, identity_.cert.get(), identity_.key.get());
  BioPtr input(BIO_new_mem_buf(query.data(), static_cast<int>(query.size())));
  if (!ctx || !input) {
    return {};
  }
  RespPtr response(TS_RESP_create_response(ctx.get(), input.get()));
  ERR_clear_error();
  if (!response) {
    return {};
  }
  TS_STATUS_INFO* info = TS_RESP_get_status_info(response.get());
  if (options_.status == 1 && ASN1_INTEGER_get(TS_STATUS_INFO_get0_status(info)) == 0) {
    TS_STATUS_INFO_set_status(info, 1);
  }
  return Encode(response.get());
}

// OpenSSL's responder cannot sign with SM2: the TSTInfo and the token are
// ours, the answers otherwise as above (status, serials, shifted clock).
std::vector<unsigned char> TsaService::RespondSm2(std::span<const unsigned char> query) {
  const unsigned char* cursor = query.data();
  std::unique_ptr<TS_REQ, ReleaseWith<TS_REQ_free>> request(
      d2i_TS_REQ(nullptr, &cursor, static_cast<long>(query.size())));
  ObjectPtr policy(OBJ_txt2obj(kPolicyOid, 1));
  const std::vector<unsigned char> info =
      request && cursor == query.data() + query.size() && policy
          ? TstInfoFor(request.get(),
                       {policy.get(), next_serial_++,
                        std::time(nullptr) + options_.clock_offset_seconds, identity_.cert.get()})
          : std::vector<unsigned char>{};
  ERR_clear_error();
  if (info.empty()) {
    RespPtr rejection = StatusOnlyResponse(TS_STATUS_REJECTION);
    return rejection ? Encode(rejection.get()) : std::vector<unsigned char>{};
  }
  Sm2TokenSigner signer{identity_.cert.get(), identity_.key.get(), {}};
  if (identity_.ca) {
    signer.extra.push_back(identity_.ca.get());
  }
  const std::vector<unsigned char> token = Sm2TimeStampToken(info, signer);
  return token.empty() ? token : GrantedResponse(token, options_.status);
}

void TsaService::WaitDelay() const {
  const auto until =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.delay_ms);
  while (!stopping_ && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void TsaService::Register(httplib::Server& server) {
  server.Post("/tsa", [this](const httplib::Request& request, httplib::Response& response) {
    ++requests_;
    WaitDelay();
    const auto* body = reinterpret_cast<const unsigned char*>(request.body.data());
    std::vector<unsigned char> reply = Respond({body, request.body.size()});
    if (reply.empty()) {
      response.status = 500;
      return;
    }
    response.set_content(std::string(reply.begin(), reply.end()), "application/timestamp-reply");
  });
  server.Get("/tsa/requests", [this](const httplib::Request&, httplib::Response& response) {
    response.set_content(std::to_string(requests()) + "\n", "text/plain");
  });
}

}  // namespace brevalt::devserver
