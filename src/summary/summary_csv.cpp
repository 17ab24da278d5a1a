#include "summary/summary_csv.h"

#include "config/text_convert.h"

namespace brevalt {
namespace {

// A spreadsheet takes a cell beginning with one of these for a formula.
bool StartsLikeFormula(const std::string& text) {
  return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos)
    return text;
  std::string quoted(1, '"');
  for (char c : text) {
    if (c == '"')
      quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string OutsideField(const std::u16string& text) {
  const std::string utf8 = WideToUtf8(text);
  if (!StartsLikeFormula(utf8))
    return Field(utf8);
  // Built by appending: g++ 12 at -O3 misreads an insert at the front (-Wrestrict).
  std::string defused(1, '\'');
  defused += utf8;
  return Field(defused);
}

std::string Line(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0)
      line += ',';
    line += fields[i];
  }
  line += "\r\n";
  return line;
}

}  // namespace

std::string SummaryCsv(const std::vector<SummaryRow>& rows, const std::u16string& stamped_at) {
  std::string csv = "\xEF\xBB\xBF";
  csv += Line({Field("时间戳时间：" + WideToUtf8(stamped_at)),
               Field("验证时间：" + WideToUtf8(RunTrustedTime(rows))),
               OutsideField(u"项目：" + ProjectsOf(rows))});
  csv += Line({"序号", "文件名", "项目编号", "包组号", "投标人", "验证结果", "验证码", "原因",
               "日志", "回执"});
  for (const SummaryRow& row : rows) {
    csv += Line({std::to_string(row.number), OutsideField(row.file_name), OutsideField(row.project),
                 OutsideField(row.package), OutsideField(row.bidder),
                 Field(WideToUtf8(VerdictText(row.verdict))), Field(WideToUtf8(row.code)),
                 OutsideField(row.reason), Field(WideToUtf8(LogStateText(row.log))),
                 Field(WideToUtf8(ReceiptStateText(row.receipt)))});
  }
  return csv;
}

}  // namespace brevalt
