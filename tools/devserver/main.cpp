// devserver: serves the local services on loopback until SIGINT or SIGTERM.
// The port it listens on is printed on the first line of stdout.
#include <csignal>
#include <cstdio>
#include <span>
#include <string>

#include "devserver/dev_server.h"
#include "devserver/server_options.h"

int main(int argc, char** argv) {
  brevalt::devserver::ServerOptions options;
  std::string error;
  std::span<const char* const> args(const_cast<const char* const*>(argv) + 1,
                                    static_cast<size_t>(argc > 0 ? argc - 1 : 0));
  if (brevalt::devserver::WantsHelp(args)) {
    std::fputs(brevalt::devserver::HelpText().c_str(), stdout);
    return 0;
  }
  if (!brevalt::devserver::ParseServerOptions(args, &options, &error)) {
    std::fprintf(stderr, "devserver: %s\n", error.c_str());
    return 2;
  }
  // Block the signals before any thread starts, so that only sigwait sees them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  brevalt::devserver::DevServer server(options);
  if (server.Start(&error) != 0) {
    std::fprintf(stderr, "devserver: %s\n", error.c_str());
    return 1;
  }
  std::printf("%d\n", server.port());
  std::fflush(stdout);
  std::fprintf(stderr, "devserver: serving %s/\n", server.BaseUrl().c_str());
  std::fprintf(stderr, "devserver: time-stamp authority at %s\n", server.TsaUrl().c_str());
  if (!options.root.empty()) {
    std::fprintf(stderr, "devserver: rules service at %s (files in %s/rules)\n",
                 server.RulesUrl().c_str(), options.root.c_str());
  }
  if (!options.write_ca_path.empty()) {
    std::fprintf(stderr, "devserver: CA certificate written to %s\n",
                 options.write_ca_path.c_str());
  }
  int received = 0;
  sigwait(&signals, &received);
  server.Stop();
  return 0;
}
