#include "devserver/dev_server.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/release_with.h"

namespace brevalt::devserver {

DevServer::DevServer(ServerOptions options) : options_(std::move(options)) {
  // SO_REUSEADDR only: httplib's default also sets SO_REUSEPORT, which would let
  // a second server share a busy port silently instead of failing to bind.
  server_.set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  server_.set_payload_max_length(kMaxRequestBytes);
}

DevServer::~DevServer() {
  Stop();
}

int DevServer::CreateServices(std::string* error) {
  std::string reason;
  tsa_ = TsaService::Create(options_.tsa, &reason);
  if (!tsa_) {
    *error = "time-stamp authority: " + reason;
    return 1;
  }
  if (!options_.root.empty()) {
    rules_ = RulesService::Create(options_.root, &reason);
    if (!rules_) {
      *error = "rules service: " + reason;
      return 1;
    }
    rules_->Register(server_);
  }
  if (WriteCaFile(error) != 0) {
    return 1;
  }
  tsa_->Register(server_);
  return 0;
}

int DevServer::Start(std::string* error) {
  if (CreateServices(error) != 0) {
    return 1;
  }
  errno = 0;
  port_ = options_.port == 0
              ? server_.bind_to_any_port(options_.host)
              : (server_.bind_to_port(options_.host, options_.port) ? options_.port : -1);
  if (port_ <= 0) {
    const int cause = errno;
    *error = "cannot listen on " + HostForUrl(options_.host) + ":" + std::to_string(options_.port) +
             (cause != 0 ? std::string(": ") + std::strerror(cause) : std::string());
    port_ = 0;
    return 2;
  }
  thread_ = std::thread([this] {
    server_.listen_after_bind();
    listen_done_ = true;
  });
  WaitUntilServing();
  return 0;
}

int DevServer::WriteCaFile(std::string* error) const {
  if (options_.write_ca_path.empty()) {
    return 0;
  }
  const std::string pem = CaPem();
  if (pem.empty()) {
    *error = options_.write_ca_path +
             ": no CA to write: the authority's certificate came from --tsa-cert, so trust its "
             "issuer instead";
    return 1;
  }
  std::unique_ptr<FILE, ReleaseWith<std::fclose>> file(
      std::fopen(options_.write_ca_path.c_str(), "wb"));
  if (!file || std::fwrite(pem.data(), 1, pem.size(), file.get()) != pem.size() ||
      std::fclose(file.release()) != 0) {
    *error = options_.write_ca_path + ": cannot write the CA certificate: " + std::strerror(errno);
    return 1;
  }
  return 0;
}

void DevServer::WaitUntilServing() {
  // stop() only takes effect once the server runs, so wait for that (or for
  // the serving loop to have ended on its own).
  while (!server_.is_running() && !listen_done_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void DevServer::Stop() {
  if (tsa_) {
    tsa_->BeginShutdown();
  }
  if (thread_.joinable()) {
    WaitUntilServing();
    server_.stop();
    thread_.join();
  }
}

std::string HostForUrl(const std::string& host) {
  const bool ipv6 = host.find(':') != std::string::npos && !host.starts_with('[');
  return ipv6 ? "[" + host + "]" : host;
}

std::string DevServer::BaseUrl() const {
  return "http://" + HostForUrl(options_.host) + ":" + std::to_string(port_);
}

std::string DevServer::CaPem() const {
  return tsa_ ? CertificatePem(tsa_->ca_certificate()) : std::string();
}

std::string DevServer::TsaUrl() const {
  return BaseUrl() + "/tsa";
}

std::string DevServer::RulesUrl() const {
  return BaseUrl() + "/rules";
}

}  // namespace brevalt::devserver
