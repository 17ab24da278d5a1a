// brevalt_batch_bench FOLDER [--screenshot FILE.png] [--pdf FILE.pdf]: lists
// the bids of FOLDER in the many-bids window, verifies them with the settings
// of the per-user folder as they are, and prints the wall time from "开始" to
// the last row and how often the table repainted meanwhile. --screenshot
// saves the screen (or, offscreen, the window) once the run is over; --pdf
// exports the summary and waits for its receipt.
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTableView>
#include <cstdio>

#include "app/batch/batch_window.h"
#include "app/dialog_units.h"

namespace {

// Counts the paint events of one widget.
class PaintCounter : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    count += event->type() == QEvent::Paint;
    return false;
  }
};

QString OptionValue(const QStringList& args, const QString& name) {
  const qsizetype at = args.indexOf(name);
  return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setFont(brevalt::app::DialogFont(9));
  const QStringList args = QApplication::arguments();
  if (args.size() < 2) {
    std::fputs("usage: brevalt_batch_bench FOLDER [--screenshot FILE.png] [--pdf FILE.pdf]\n",
               stderr);
    return 2;
  }
  brevalt::app::CBatchWindow window;
  window.show();
  window.AddBids({args[1]});
  QApplication::processEvents();
  PaintCounter paints;
  window.Table()->viewport()->installEventFilter(&paints);
  QElapsedTimer clock;
  bool ended = false;
  QObject::connect(&window, &brevalt::app::CBatchWindow::RunEnded, [&] { ended = true; });
  clock.start();
  window.Start();
  while (!ended)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  const qint64 wall = clock.elapsed();
  std::printf("window: %zu bids, wall %lld ms, table repaints %.1f per second\n",
              window.Rows().size(), static_cast<long long>(wall),
              paints.count * 1000.0 / std::max<qint64>(wall, 1));
  window.WaitUntilIdle();
  if (const QString png = OptionValue(args, QStringLiteral("--screenshot")); !png.isEmpty()) {
    window.Table()->scrollToTop();
    QApplication::processEvents();
    const QPixmap shot = QGuiApplication::platformName() == QStringLiteral("offscreen")
                             ? window.grab()
                             : window.screen()->grabWindow(0);
    if (!shot.save(png))
      return 1;
  }
  if (const QString pdf = OptionValue(args, QStringLiteral("--pdf")); !pdf.isEmpty()) {
    if (!window.Export(pdf))
      return 1;
    window.WaitUntilIdle();
  }
  return 0;
}
