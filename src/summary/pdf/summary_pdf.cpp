#include "summary/pdf/summary_pdf.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <array>
#include <memory>

namespace brevalt {
namespace {

QString Q(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A Qt application for a program that has none (brevalt-cli): fonts and
// painting need one, a display does not.
void EnsureGuiApplication() {
  if (QCoreApplication::instance() != nullptr)
    return;
  static int argc = 3;
  static char name[] = "brevalt", platform[] = "-platform", offscreen[] = "offscreen";
  static char* argv[] = {name, platform, offscreen, nullptr};
  static std::unique_ptr<QGuiApplication> application =
      std::make_unique<QGuiApplication>(argc, argv);
}

QByteArray XmlEscaped(const QString& text) {
  return text.toHtmlEscaped().toUtf8();
}

QByteArray XmpMetadata(const QString& time, const QString& projects) {
  return "<?xpacket begin='\xEF\xBB\xBF' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
         "<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n"
         "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>\n"
         "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'>\n"
         "<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>批量验证汇总</rdf:li></rdf:Alt>"
         "</dc:title>\n"
         // The time starts a line, where a receipt check looks for it.
         "<dc:description><rdf:Alt><rdf:li xml:lang='x-default'>\n" +
         XmlEscaped(QStringLiteral("时间戳时间：") + time + QStringLiteral("；项目：") + projects) +
         "</rdf:li></rdf:Alt></dc:description>\n"
         "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end='w'?>";
}

// Column titles and widths in 1/96 inch; the code's column fits a whole code.
struct Column {
  const char* title;
  int width;
};
constexpr std::array<Column, 6> kColumns{{{"序号", 34},
                                          {"文件名", 220},
                                          {"投标人", 150},
                                          {"验证结果", 56},
                                          {"验证码", 360},
                                          {"原因", 0}}};  // the rest of the line
constexpr int kDpi = 96;
constexpr int kRowHeight = 20;
constexpr int kHeaderRows = 5;  // title, project, time, totals, column titles

QString Totals(const SummarySheet& sheet) {
  return QStringLiteral("共 %1 份标书：通过 %2，没通过 %3，未验证 %4")
      .arg(sheet.lines.size())
      .arg(sheet.passed)
      .arg(sheet.not_passed)
      .arg(sheet.not_verified);
}

class PageDrawer {
 public:
  PageDrawer(QPainter& painter, const QRect& area) : painter_(painter), area_(area) {
    // Latin letters and digits from a Latin font: the CJK font's collection
    // maps its digits to no text, so a reader could not copy or search them.
    text_font_.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC")});
    text_font_.setPixelSize(11);
    code_font_ = QFont(QStringLiteral("DejaVu Sans Mono"));
    code_font_.setStyleHint(QFont::Monospace);
    code_font_.setPixelSize(9);
  }

  int RowsPerPage() const { return area_.height() / kRowHeight - kHeaderRows - 1; }

  void Header(const SummarySheet& sheet, int page, int pages) {
    QFont title = text_font_;
    title.setPixelSize(16);
    title.setBold(true);
    painter_.setFont(title);
    painter_.setPen(Qt::black);
    Text(0, area_.width(), 0, QStringLiteral("批量验证汇总"));
    painter_.setFont(text_font_);
    Text(0, area_.width(), 1, QStringLiteral("项目：") + Q(sheet.projects));
    Text(0, area_.width(), 2,
         QStringLiteral("时间戳时间：") + Q(sheet.stamped_at) + QStringLiteral("　　验证时间：") +
             Q(sheet.run_time));
    Text(0, area_.width(), 3, Totals(sheet));
    int x = 0;
    QFont bold = text_font_;
    bold.setBold(true);
    painter_.setFont(bold);
    for (const Column& column : kColumns) {
      Text(x, Width(column), 4, QString::fromUtf8(column.title));
      x += column.width;
    }
    painter_.setFont(text_font_);
    painter_.drawText(QRect(area_.left(), area_.bottom() - kRowHeight, area_.width(), kRowHeight),
                      Qt::AlignHCenter | Qt::AlignVCenter,
                      QStringLiteral("第 %1 页，共 %2 页").arg(page).arg(pages));
  }

  void Row(const SummarySheetLine& row, int line) {
    const QString cells[] = {Q(row.number),  Q(row.file_name), Q(row.bidder),
                             Q(row.verdict), Q(row.code),      Q(row.reason)};
    int x = 0;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
      const bool verdict = i == 3, code = i == 4;
      painter_.setFont(code ? code_font_ : text_font_);
      painter_.setPen(!verdict                                 ? QColor(Qt::black)
                      : row.kind == SummaryVerdict::kPassed    ? QColor(0, 0, 255)
                      : row.kind == SummaryVerdict::kNotPassed ? QColor(255, 0, 0)
                                                               : QColor(Qt::gray));
      const int width = Width(kColumns[i]);
      Text(
          x, width, kHeaderRows + line,
          code ? cells[i] : painter_.fontMetrics().elidedText(cells[i], Qt::ElideRight, width - 4));
      x += kColumns[i].width;
    }
  }

 private:
  int Width(const Column& column) const {
    if (column.width > 0)
      return column.width;
    int used = 0;
    for (const Column& other : kColumns)
      used += other.width;
    return area_.width() - used;
  }

  void Text(int x, int width, int line, const QString& text) {
    painter_.drawText(QRect(area_.left() + x, area_.top() + line * kRowHeight, width, kRowHeight),
                      Qt::AlignLeft | Qt::AlignVCenter, text);
  }

  QPainter& painter_;
  QRect area_;
  QFont text_font_;
  QFont code_font_;
};

}  // namespace

std::string SummaryPdf(const SummarySheet& sheet) {
  EnsureGuiApplication();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
    writer.setTitle(QStringLiteral("批量验证汇总"));
    writer.setCreator(QStringLiteral("Brevalt"));
    writer.setDocumentXmpMetadata(XmpMetadata(Q(sheet.stamped_at), Q(sheet.projects)));
    QPainter painter(&writer);
    PageDrawer drawer(painter, writer.pageLayout().paintRectPixels(kDpi).translated(
                                   -writer.pageLayout().paintRectPixels(kDpi).topLeft()));
    const int per_page = std::max(1, drawer.RowsPerPage());
    const int count = static_cast<int>(sheet.lines.size());
    const int pages = std::max<int>(1, (count + per_page - 1) / per_page);
    for (int page = 0; page < pages; ++page) {
      if (page > 0)
        writer.newPage();
      drawer.Header(sheet, page + 1, pages);
      for (int line = 0; line < per_page; ++line) {
        const std::size_t index = static_cast<std::size_t>(page * per_page + line);
        if (index >= sheet.lines.size())
          break;
        drawer.Row(sheet.lines[index], line);
      }
    }
  }
  return bytes.toStdString();
}

}  // namespace brevalt
