#include "record/message_catalogue.h"

#include <string>

namespace brevalt {

void SetMessage(CVerifyResult& result, MessageCategory category, const Message& message) {
  result.ErrorCategory = category;
  result.ErrorDetail = message.detail;
  result.ErrorAdvice = message.advice;
}

void SetVerifyFailedMessage(CVerifyResult& result, int code) {
  std::u16string detail = msg::kVerifyFailedPrefix;
  for (char c : std::to_string(code)) detail.push_back(static_cast<char16_t>(c));
  result.ErrorCategory = CategorySignature;
  result.ErrorDetail = detail;
  result.ErrorAdvice = msg::kVerifyFailedAdvice;
}

}  // namespace brevalt
