// Every message row the engine writes: the detail (错误明细) and the handling
// advice (处理意见). Each text is shown exactly as it stands here; note the
// deliberate mix of full-width and ASCII punctuation.
#ifndef BREVALT_RECORD_MESSAGE_CATALOGUE_H
#define BREVALT_RECORD_MESSAGE_CATALOGUE_H

#include <string>

#include "record/verify_result.h"

namespace brevalt {

struct Message {
  const char16_t* detail;
  const char16_t* advice;
};

namespace msg {

// Pre-flight (step 1).
inline constexpr Message kSettingsMissing{u"配置文件Setting.ini不存在!",
                                          u"请检查程序运行目录下是否存在Setting.ini文件！"};
inline constexpr Message kNoTimestampUrl{
    u"配置文件中没有设置时间戳的URL!",
    u"请打开Setting.ini配置文件，添加相应的URL地址，然后重启本软件！"};
inline constexpr Message kBadTimestampUrl{
    u"时间戳的地址不是合格的URL格式！",
    u"请打开Setting.ini配置文件，检查TimeStampURL下的url地址的格式！"};
inline constexpr Message kNoRulesUrl{
    u"配置文件中没有设置规则文件的URL!",
    u"请打开Setting.ini配置文件，添加相应的URL地址，然后重启本软件！"};
inline constexpr Message kBadRulesUrl{
    u"规则文件的地址不是合格的URL格式！",
    u"请打开Setting.ini配置文件，检查BidRuleFileURL下的url地址的格式！"};
inline constexpr Message kNoNetwork{u"网络不通！", u"请检查网络连接！"};

// Verify handler (steps 2 and 3).
inline constexpr Message kTimestampFailed{u"获取时间戳失败！", u"请检查时间戳地址的URL的连通性！"};
inline constexpr Message kClockWrong{u"本计算机系统时间不正确!",
                                     u"请安装时间戳时间修改计算机时间！"};

// Bid checks (steps 4 to 6).
inline constexpr Message kVerifyCodeFailed{u"计算验证码失败！",
                                           u"请确保标书文件没有被其它应用程序占用！"};
inline constexpr Message kOpenBidFailed{u"打开标书文件失败！",
                                        u"请确保标书文件没有被其它应用程序占用！"};
inline constexpr Message kDownloadRulesFailed{
    u"下载规则文件失败!", u"请检查服务器地址配置是否正确,以及该地址是否可连接！"};
inline constexpr Message kGetOpenerCertsFailed{
    u"获取开标人的证书失败！",
    u"请不要勾选验证规则文件，再次进行验证标书，如果不能成功，请重启计算机系统再次验证！"};
inline constexpr Message kNoOpenerCerts{u"规则文件中不存在开标人的证书！", u"严重错误，无法处理！"};
inline constexpr Message kBuildOpenerCertFailed{u"构造开标人的证书失败！",
                                                u"内存不足，重启计算机系统重试！"};
inline constexpr Message kGetSignerCertFailed{u"获取投标人的签名证书失败！", u"警告：讨论处理！"};
inline constexpr Message kBuildSignerCertFailed{u"构造投标人的签名证书失败！",
                                                u"重启计算机系统，然后尝试进行验证！"};
inline constexpr Message kOutOfMemory{u"内存不足！", u"重启计算机系统，然后重试！"};
inline constexpr Message kRulesLengthMismatch{u"规则文件长度与实际的长度不符!",
                                              u"严重错误，不可处理！"};
inline constexpr Message kOpenerTotalBelowOne{u"开标总人数小于0，验证规则文件失败！",
                                              u"严重错误，不可处理!"};
inline constexpr Message kOpenerMinBelowOne{u"开标最小人数小于0，验证规则文件失败！",
                                            u"严重错误，不可处理!"};
inline constexpr Message kOpenerTotalBelowMin{u"开标总人数小于最小开标人数，验证规则文件失败！",
                                              u"严重错误，不可处理!"};
inline constexpr Message kRulesDiffer{u"标书中的规则文件和下载的规则文件不一致！!", u"讨论处理！"};

// The container's own failure: the detail is this prefix and the code.
inline constexpr char16_t kVerifyFailedPrefix[] = u"验证规则失败，错误代码 = ";
inline constexpr char16_t kVerifyFailedAdvice[] = u"严重错误，不可处理！";

}  // namespace msg

// Writes the one message row of the record: category, detail and advice.
void SetMessage(CVerifyResult& result, MessageCategory category, const Message& message);
// The container-failure row: "验证规则失败，错误代码 = " and code in decimal.
void SetVerifyFailedMessage(CVerifyResult& result, int code);

}  // namespace brevalt

#endif  // BREVALT_RECORD_MESSAGE_CATALOGUE_H
