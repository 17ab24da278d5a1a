// What really happened, in plain English, when a run did not pass: the
// message row keeps its catalogue texts (the dialog and the log show them),
// and the command line adds this cause, from what the front end can still
// find out: the bid file itself, the settings file, the library's code.
#ifndef BREVALT_CLI_FAILURE_CAUSE_H
#define BREVALT_CLI_FAILURE_CAUSE_H

#include <optional>
#include <string>

#include "record/verify_result.h"

namespace brevalt::cli {

// The cause of the run's message row, or nothing without a row. bid_path is
// the file verified (UTF-8). A failed rules download is asked once more of
// the rules service to learn the library's code.
std::optional<std::string> CauseOf(const CVerifyResult& result, const std::string& bid_path);

}  // namespace brevalt::cli

#endif  // BREVALT_CLI_FAILURE_CAUSE_H
