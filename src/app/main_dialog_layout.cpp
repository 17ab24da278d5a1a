#include "app/main_dialog_layout.h"

namespace brevalt::app {
namespace {

using K = ControlKind;

constexpr ControlSpec kControls[] = {
    {kNoId, K::kStatic, "标书路径：", 20, 10, 40, 8, false},
    {kEditBidPath, K::kReadOnlyEdit, "", 75, 9, 235, 14, false},
    {kButtonChoose, K::kButton, "选择", 312, 10, 42, 14, false},
    {kButtonVerify, K::kButton, "标书验证", 360, 20, 50, 28, false},
    {kCheckVerifyRules, K::kCheckBox, "验证规则文件", 75, 31, 61, 10, false},
    {kCheckWriteLog, K::kCheckBox, "写日志", 139, 31, 39, 10, false},
    {kButtonCloseHidden, K::kButton, "关闭", 236, 28, 50, 14, true},
    {kNoId, K::kStatic, "标书验证码：", 19, 52, 46, 8, false},
    {kEditVerifyCode, K::kReadOnlyEdit, "", 75, 50, 310, 14, false},
    {kButtonCopyCode, K::kButton, "复制", 388, 50, 44, 14, false},
    {kNoId, K::kGroupBox, "验证步骤", 19, 68, 239, 102, false},
    {kNoId, K::kStatic, "1、网络及配置是否正确：", 22, 77, 95, 8, false},
    {kEditStepNetwork, K::kReadOnlyEdit, "", 118, 78, 125, 12, false},
    {kNoId, K::kStatic, "2、时间戳时间：", 23, 92, 94, 8, false},
    {kEditStepTimestamp, K::kReadOnlyEdit, "", 118, 92, 125, 12, false},
    {kNoId, K::kStatic, "3、本机时间是否正确：", 23, 106, 94, 8, false},
    {kEditStepLocalClock, K::kReadOnlyEdit, "", 118, 106, 125, 12, false},
    {kNoId, K::kStatic, "4、规则文件获取正确：", 23, 120, 94, 8, false},
    {kEditStepRulesFile, K::kReadOnlyEdit, "", 118, 120, 126, 12, false},
    {kNoId, K::kStatic, "5、标书格式验证：", 23, 134, 94, 8, false},
    {kEditStepBidFormat, K::kReadOnlyEdit, "", 118, 133, 126, 12, false},
    {kNoId, K::kStatic, "6、标书签名验证：", 23, 147, 94, 8, false},
    {kEditStepSignature, K::kReadOnlyEdit, "", 118, 146, 126, 14, false},
    {kNoId, K::kGroupBox, "", 262, 68, 141, 101, false},
    {kNoId, K::kStatic, "最终检测结果", 304, 92, 55, 8, false},
    {kStaticVerdict, K::kStatic, "", 305, 118, 60, 28, false},
    {kNoId, K::kGroupBox, "投标人信息", 18, 170, 386, 32, false},
    {kNoId, K::kStatic, "投标人：", 25, 184, 47, 8, false},
    {kEditBidder, K::kReadOnlyEdit, "", 69, 181, 212, 14, false},
    {kStaticBidderValidity, K::kStatic, "", 298, 184, 31, 8, false},
    {kButtonViewBidderCert, K::kButton, "查看证书", 351, 181, 44, 14, false},
    {kNoId, K::kGroupBox, "标书信息", 18, 202, 385, 88, false},
    {kListBidInfo, K::kListView, "", 26, 215, 325, 68, false},
    {kNoId, K::kGroupBox, "开标人(双击开标人可查看开标人证书)", 18, 290, 387, 69, false},
    {kListOpeners, K::kListView, "", 26, 299, 325, 55, false},
    {kButtonViewOpenerCert, K::kButton, "查看证书", 353, 317, 50, 14, true},
    {kNoId, K::kGroupBox, "消息框", 18, 359, 387, 74, false},
    {kListMessages, K::kListView, "", 25, 368, 325, 61, false},
    {kButtonClearMessages, K::kButton, "清除消息", 354, 388, 50, 14, false},
    {kButtonClose, K::kButton, "关闭", 176, 437, 50, 14, false},
};

constexpr ColumnSpec kMessageColumns[] = {
    {"大项", 70}, {"错误明细", 200}, {"性质", 60}, {"处理意见", kFillColumn}};
constexpr ColumnSpec kBidInfoColumns[] = {{"名称", 150}, {"内容", 300}};
constexpr ColumnSpec kOpenerColumns[] = {{"序号", 50}, {"姓名", 300}, {"证书的有效性", 150}};

constexpr ListSpec kLists[] = {
    {kListMessages, kMessageColumns},
    {kListBidInfo, kBidInfoColumns},
    {kListOpeners, kOpenerColumns},
};

}  // namespace

std::span<const ControlSpec> MainDialogControls() {
  return kControls;
}
std::span<const ListSpec> MainDialogLists() {
  return kLists;
}

}  // namespace brevalt::app
