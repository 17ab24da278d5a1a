#include "record/result_texts.h"

namespace brevalt {

std::u16string StepStateText(int32_t state) {
  switch (state) {
    case StepUnknown:
      return u"未知";
    case StepPassed:
      return kMarkPassed;
    case StepFailed:
      return kMarkFailed;
    default:
      return {};
  }
}

std::u16string CategoryText(int32_t category) {
  switch (category) {
    case CategoryEnvironment:
      return u"环境";
    case CategoryTimestamp:
      return u"时间戳";
    case CategoryBidFormat:
      return u"标书格式";
    case CategorySignature:
      return u"签名验证";
    case CategoryOther:
      return u"其它";
    default:
      return {};
  }
}

std::u16string NatureText(int32_t category) {
  switch (category) {
    case CategoryEnvironment:
    case CategoryTimestamp:
    case CategoryOther:
      return u"警告";
    case CategoryBidFormat:
    case CategorySignature:
      return u"严重错误";
    default:
      return {};
  }
}

}  // namespace brevalt
