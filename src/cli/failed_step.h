// Which of the six steps a failed run really failed. Any failure of the bid
// check shows "×" on all of steps 4 to 6; the message row says which one it
// was: a rules-file failure is step 4, a bid file that cannot be read or a
// malformed container step 5, a signature or signer failure step 6.
#ifndef BREVALT_CLI_FAILED_STEP_H
#define BREVALT_CLI_FAILED_STEP_H

#include <optional>

#include "record/verify_result.h"

namespace brevalt::cli {

// The container library's code in a "验证规则失败，错误代码 = N" row.
std::optional<int> ContainerCodeOf(const CVerifyResult& result);

// The step (1 to 6) whose failure the message row reports; 0 without a row
// and for a failure of no one step (out of memory, a calling error of the
// container library).
int FailedStep(const CVerifyResult& result);

}  // namespace brevalt::cli

#endif  // BREVALT_CLI_FAILED_STEP_H
