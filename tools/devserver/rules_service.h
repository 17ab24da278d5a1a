// The local rules service: POST /rules answers a project's rules file from a
// folder. The body is read as raw bytes, never form-decoded:
//
//   projectid=<id>               the download of a project's rules file
//   projectid=<id>&cert=<text>   the bidder query: answered the same way and
//                                appended, as received, as one line to
//                                <root>/bidder-queries.log
//
// <id> names the file <root>/rules/<id>.xml, answered byte for byte (200), or
// 404 when there is none. A body of another shape, an empty id, an id holding
// "/", "\", NUL or "..", and a bidder query holding a line break get 400.
#ifndef BREVALT_TOOLS_DEVSERVER_RULES_SERVICE_H
#define BREVALT_TOOLS_DEVSERVER_RULES_SERVICE_H

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace httplib {
class Server;
}

namespace brevalt::devserver {

struct RulesQuery {
  std::string project_id;
  bool bidder = false;  // the body carries "&cert="
};

// The query a body holds; nullopt for a body the service refuses (400).
std::optional<RulesQuery> ParseRulesQuery(std::string_view body);

class RulesService {
 public:
  // The service over root; null with *error naming root and the cause when
  // root is not a folder.
  static std::unique_ptr<RulesService> Create(const std::string& root, std::string* error);

  // Adds POST /rules to server. The service must outlive the server's serving.
  void Register(httplib::Server& server);

  struct Answer {
    int status = 500;
    std::string body;  // the rules file for status 200
  };
  // The answer to one request body. Thread-safe.
  Answer Respond(std::string_view body);

 private:
  explicit RulesService(std::string root) : root_(std::move(root)) {}
  bool LogBidderQuery(std::string_view body);

  std::string root_;
  std::mutex log_mutex_;  // one appended line at a time
};

}  // namespace brevalt::devserver

#endif  // BREVALT_TOOLS_DEVSERVER_RULES_SERVICE_H
