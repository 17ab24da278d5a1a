#include "devserver/dev_server.h"

#include <gtest/gtest.h>
#include <openssl/pem.h>
#include <openssl/ts.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace brevalt::devserver {
namespace {

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* p) const { Free(p); }
};
using ReqPtr = std::unique_ptr<TS_REQ, Deleter<TS_REQ, TS_REQ_free>>;
using RespPtr = std::unique_ptr<TS_RESP, Deleter<TS_RESP, TS_RESP_free>>;
using VerifyCtxPtr = std::unique_ptr<TS_VERIFY_CTX, Deleter<TS_VERIFY_CTX, TS_VERIFY_CTX_free>>;
using X509Ptr = std::unique_ptr<X509, Deleter<X509, X509_free>>;

// A DER TimeStampReq for a SHA-256 imprint of 0x11 bytes with nonce 4242.
std::string MakeQuery(ReqPtr* keep) {
  keep->reset(TS_REQ_new());
  std::unique_ptr<TS_MSG_IMPRINT, Deleter<TS_MSG_IMPRINT, TS_MSG_IMPRINT_free>> imprint(
      TS_MSG_IMPRINT_new());
  std::unique_ptr<X509_ALGOR, Deleter<X509_ALGOR, X509_ALGOR_free>> algo(X509_ALGOR_new());
  std::unique_ptr<ASN1_INTEGER, Deleter<ASN1_INTEGER, ASN1_INTEGER_free>> nonce(ASN1_INTEGER_new());
  std::vector<unsigned char> digest(32, 0x11);
  X509_ALGOR_set0(algo.get(), OBJ_nid2obj(NID_sha256), V_ASN1_NULL, nullptr);
  TS_MSG_IMPRINT_set_algo(imprint.get(), algo.get());
  TS_MSG_IMPRINT_set_msg(imprint.get(), digest.data(), 32);
  ASN1_INTEGER_set(nonce.get(), 4242);
  TS_REQ_set_version(keep->get(), 1);
  TS_REQ_set_msg_imprint(keep->get(), imprint.get());
  TS_REQ_set_nonce(keep->get(), nonce.get());
  TS_REQ_set_cert_req(keep->get(), 1);
  unsigned char* der = nullptr;
  const int size = i2d_TS_REQ(keep->get(), &der);
  std::string bytes(reinterpret_cast<char*>(der), static_cast<size_t>(size));
  OPENSSL_free(der);
  return bytes;
}

RespPtr Decode(const std::string& body) {
  const auto* p = reinterpret_cast<const unsigned char*>(body.data());
  return RespPtr(d2i_TS_RESP(nullptr, &p, static_cast<long>(body.size())));
}

long StatusOf(TS_RESP* response) {
  return ASN1_INTEGER_get(TS_STATUS_INFO_get0_status(TS_RESP_get_status_info(response)));
}

X509Ptr ReadPem(const std::string& path) {
  std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  return X509Ptr(file ? PEM_read_X509(file.get(), nullptr, nullptr, nullptr) : nullptr);
}

TEST(DevServer, AnswerVerifiesAgainstTheWrittenCaAlone) {
  testing::TempFolder folder;
  ServerOptions options;
  options.write_ca_path = folder.path() + "/ca.pem";
  DevServer server(options);
  std::string error;
  ASSERT_EQ(server.Start(&error), 0) << error;
  ASSERT_GT(server.port(), 0);
  X509Ptr ca = ReadPem(options.write_ca_path);
  ASSERT_TRUE(ca);
  EXPECT_EQ(CertificatePem(ca.get()), server.CaPem());
  EXPECT_NE(X509_cmp(ca.get(), server.tsa()->certificate()), 0) << "the CA is not the signer";

  httplib::Client client(server.BaseUrl());
  ReqPtr request;
  const auto reply = client.Post("/tsa", MakeQuery(&request), "application/timestamp-query");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  EXPECT_EQ(reply->get_header_value("Content-Type"), "application/timestamp-reply");
  RespPtr response = Decode(reply->body);
  ASSERT_TRUE(response);
  EXPECT_EQ(StatusOf(response.get()), 0);

  // Full RFC 3161 check: signature, chain to the CA (the only trust anchor),
  // the signer's time-stamping usage, imprint, nonce.
  VerifyCtxPtr ctx(TS_REQ_to_TS_VERIFY_CTX(request.get(), nullptr));
  X509_STORE* store = X509_STORE_new();
  X509_STORE_add_cert(store, ca.get());
  TS_VERIFY_CTX_set_store(ctx.get(), store);  // takes ownership
  EXPECT_EQ(TS_RESP_verify_response(ctx.get(), response.get()), 1);
}

TEST(DevServer, NotARequestGetsARejection) {
  DevServer server({});
  std::string error;
  ASSERT_EQ(server.Start(&error), 0) << error;
  httplib::Client client(server.BaseUrl());
  const auto reply = client.Post("/tsa", "hello", "application/timestamp-query");
  ASSERT_TRUE(reply);
  RespPtr response = Decode(reply->body);
  ASSERT_TRUE(response);
  EXPECT_EQ(StatusOf(response.get()), 2);
  EXPECT_EQ(TS_RESP_get_token(response.get()), nullptr);
}

TEST(DevServer, BusyPortAndBadIdentityAreReported) {
  DevServer first({});
  std::string error;
  ASSERT_EQ(first.Start(&error), 0) << error;
  ServerOptions same_port;
  same_port.port = first.port();
  DevServer second(same_port);
  EXPECT_EQ(second.Start(&error), 2);

  ServerOptions missing;
  missing.tsa.cert_path = "/nonexistent/tsa.pem";
  missing.tsa.key_path = "/nonexistent/key.pem";
  DevServer third(missing);
  EXPECT_EQ(third.Start(&error), 1);
  EXPECT_NE(error.find("/nonexistent"), std::string::npos) << error;
}

// Writes identity as tsa.pem and key.pem into folder; the paths to pass.
ServerOptions IdentityFiles(const testing::TempFolder& folder, const TsaIdentity& identity) {
  ServerOptions options;
  options.tsa.cert_path = folder.path() + "/tsa.pem";
  options.tsa.key_path = folder.path() + "/key.pem";
  std::unique_ptr<FILE, decltype(&std::fclose)> c(std::fopen(options.tsa.cert_path.c_str(), "w"),
                                                  &std::fclose);
  std::unique_ptr<FILE, decltype(&std::fclose)> k(std::fopen(options.tsa.key_path.c_str(), "w"),
                                                  &std::fclose);
  EXPECT_TRUE(c && k);
  PEM_write_X509(c.get(), identity.cert.get());
  PEM_write_PrivateKey(k.get(), identity.key.get(), nullptr, nullptr, 0, nullptr, nullptr);
  return options;
}

// A generated identity whose certificate is re-made with another extended key
// usage (none when usage is null), self-signed.
TsaIdentity WithUsage(const char* usage) {
  TsaIdentity identity;
  EXPECT_TRUE(GenerateTsaIdentity(&identity));
  X509* cert = identity.cert.get();
  X509_EXTENSION_free(X509_delete_ext(cert, X509_get_ext_by_NID(cert, NID_ext_key_usage, -1)));
  if (usage != nullptr) {
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, nullptr, NID_ext_key_usage, usage);
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
  }
  X509_sign(cert, identity.key.get(), EVP_sha256());
  return identity;
}

TEST(DevServer, LoadsAFitIdentityAndRefusesOneWithoutTimeStampingAlone) {
  TsaIdentity fit;
  ASSERT_TRUE(GenerateTsaIdentity(&fit));
  {
    testing::TempFolder folder;
    DevServer server(IdentityFiles(folder, fit));
    std::string error;
    EXPECT_EQ(server.Start(&error), 0) << error;
    ASSERT_NE(server.tsa(), nullptr);
    EXPECT_EQ(X509_cmp(server.tsa()->certificate(), fit.cert.get()), 0);
    EXPECT_EQ(server.CaPem(), "") << "no CA of our own for a given identity";
  }
  for (const char* usage : {static_cast<const char*>(nullptr), "timeStamping",
                            "critical,serverAuth", "critical,timeStamping,codeSigning"}) {
    testing::TempFolder folder;
    ServerOptions options = IdentityFiles(folder, WithUsage(usage));
    DevServer server(options);
    std::string error;
    EXPECT_EQ(server.Start(&error), 1) << (usage ? usage : "none");
    EXPECT_NE(error.find(options.tsa.cert_path), std::string::npos) << error;
    EXPECT_NE(error.find("not fit for time stamping"), std::string::npos) << error;
  }
}

TEST(DevServer, CaFileThatCannotBeWrittenIsReported) {
  testing::TempFolder folder;
  TsaIdentity fit;
  ASSERT_TRUE(GenerateTsaIdentity(&fit));
  ServerOptions given = IdentityFiles(folder, fit);
  given.write_ca_path = folder.path() + "/ca.pem";
  ServerOptions unwritable;
  unwritable.write_ca_path = folder.path() + "/missing/ca.pem";
  for (const ServerOptions& options : {given, unwritable}) {
    DevServer server(options);
    std::string error;
    EXPECT_EQ(server.Start(&error), 1);
    EXPECT_EQ(error.rfind(options.write_ca_path, 0), 0u) << error;
    EXPECT_EQ(server.port(), 0) << "not serving";
  }
}

}  // namespace
}  // namespace brevalt::devserver
