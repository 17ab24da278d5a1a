#include "devserver/rules_service.h"

#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

namespace brevalt::devserver {
namespace {

constexpr std::string_view kProjectKey = "projectid=";
constexpr std::string_view kCertKey = "&cert=";

// An id that names a file directly inside the rules folder: not empty, no
// path separator of either platform, no NUL, no "..".
bool IsSafeId(std::string_view id) {
  return !id.empty() && id.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos &&
         id.find("..") == std::string_view::npos;
}

// 200 with the whole file; 404 when there is no such regular file; 500 when
// it cannot be read.
RulesService::Answer ReadRulesFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return {404, {}};
  }
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return !in.is_open() || in.bad() ? RulesService::Answer{500, {}}
                                   : RulesService::Answer{200, std::move(bytes)};
}

}  // namespace

std::optional<RulesQuery> ParseRulesQuery(std::string_view body) {
  if (!body.starts_with(kProjectKey)) {
    return std::nullopt;
  }
  body.remove_prefix(kProjectKey.size());
  RulesQuery query;
  const size_t amp = body.find('&');
  query.project_id = body.substr(0, amp);
  if (amp != std::string_view::npos) {
    const std::string_view rest = body.substr(amp);
    if (!rest.starts_with(kCertKey) || rest.find_first_of("\r\n") != std::string_view::npos) {
      return std::nullopt;
    }
    query.bidder = true;
  }
  return IsSafeId(query.project_id) ? std::optional<RulesQuery>(std::move(query)) : std::nullopt;
}

std::unique_ptr<RulesService> RulesService::Create(const std::string& root, std::string* error) {
  std::error_code ec;
  if (!std::filesystem::is_directory(root, ec)) {
    *error = root + ": not a folder" + (ec ? ": " + ec.message() : std::string());
    return nullptr;
  }
  return std::unique_ptr<RulesService>(new RulesService(root));
}

bool RulesService::LogBidderQuery(std::string_view body) {
  std::lock_guard<std::mutex> lock(log_mutex_);
  std::ofstream log(std::filesystem::path(root_) / "bidder-queries.log",
                    std::ios::binary | std::ios::app);
  log << body << '\n';
  log.flush();
  return log.good();
}

RulesService::Answer RulesService::Respond(std::string_view body) {
  const std::optional<RulesQuery> query = ParseRulesQuery(body);
  if (!query) {
    return {400, {}};
  }
  if (query->bidder && !LogBidderQuery(body)) {
    return {500, {}};
  }
  return ReadRulesFile(std::filesystem::path(root_) / "rules" / (query->project_id + ".xml"));
}

void RulesService::Register(httplib::Server& server) {
  server.Post("/rules", [this](const httplib::Request& request, httplib::Response& response) {
    Answer answer = Respond(request.body);
    response.status = answer.status;
    if (answer.status == 200) {
      response.set_content(std::move(answer.body), "application/xml");
    }
  });
}

}  // namespace brevalt::devserver
