// The local development server: an HTTP server on loopback that hosts the
// services (the RFC 3161 authority at POST /tsa, the rules service at
// POST /rules). Start it in-process on a free port, use it from tests, stop it.
#ifndef BREVALT_TOOLS_DEVSERVER_DEV_SERVER_H
#define BREVALT_TOOLS_DEVSERVER_DEV_SERVER_H

#include <httplib.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <thread>

#include "devserver/rules_service.h"
#include "devserver/tsa_service.h"

namespace brevalt::devserver {

// Request bodies beyond this size are refused (HTTP 413).
inline constexpr size_t kMaxRequestBytes = 1024 * 1024;

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = 0;  // 0: the system picks a free port; read it with port()
  TsaOptions tsa;
  // When set, Start writes the generated CA certificate (PEM) to this file,
  // for people and tests to trust (per-user folder trust/tsa/).
  std::string write_ca_path;
  // The rules service's folder (rules files in <root>/rules/); empty: no
  // POST /rules route, so every rules query gets 404.
  std::string root;
};

// host as it goes into a URL: an IPv6 address in brackets ("::1" gives
// "[::1]"), anything else unchanged.
std::string HostForUrl(const std::string& host);

class DevServer {
 public:
  explicit DevServer(ServerOptions options);
  ~DevServer();  // stops serving
  DevServer(const DevServer&) = delete;
  DevServer& operator=(const DevServer&) = delete;

  // Creates the services, writes the CA file when asked, binds and serves on
  // a background thread. 0 on success; 1 when a service cannot be created or
  // the CA file cannot be written, 2 when binding fails (*error names the file
  // or address and the cause). Call once.
  int Start(std::string* error);
  // Stops serving and joins the thread; answers still waiting out a delay
  // are cut short. Safe to call more than once.
  void Stop();

  int port() const { return port_; }
  std::string BaseUrl() const;   // "http://host:port", "http://[::1]:port"
  std::string TsaUrl() const;    // BaseUrl() + "/tsa"
  std::string RulesUrl() const;  // BaseUrl() + "/rules"

  // The HTTP server, to add further routes (tests) before Start.
  httplib::Server& http() { return server_; }
  // The authority; null before Start.
  TsaService* tsa() { return tsa_.get(); }
  // The PEM certificate of the CA that issued the authority's certificate;
  // empty before Start and when the authority's identity came from files.
  std::string CaPem() const;

 private:
  void WaitUntilServing();
  int WriteCaFile(std::string* error) const;
  int CreateServices(std::string* error);

  ServerOptions options_;
  httplib::Server server_;
  std::unique_ptr<TsaService> tsa_;
  std::unique_ptr<RulesService> rules_;
  std::thread thread_;
  std::atomic<bool> listen_done_{false};  // the serving loop has returned
  int port_ = 0;
};

}  // namespace brevalt::devserver

#endif  // BREVALT_TOOLS_DEVSERVER_DEV_SERVER_H
