// The ways into the many-bids window from the main dialog.
#ifndef BREVALT_APP_BATCH_BATCH_ENTRY_H
#define BREVALT_APP_BATCH_BATCH_ENTRY_H

#include <QStringList>

namespace brevalt::app {

class CBatchWindow;
class CBrevaltDlg;

// The shortcut that opens the many-bids window from the main dialog.
inline constexpr char kBatchShortcut[] = "Ctrl+B";

// Gives dialog the context-menu entry "批量验证" (with its shortcut) and lets
// it take drops: several files or a folder open the many-bids window with
// them; one file is chosen as "选择" would.
void InstallBatchEntry(CBrevaltDlg& dialog);

// What a drop of files on dialog does: several files or a folder open the
// many-bids window with them; one file is chosen as "选择" would.
void DropOnDialog(CBrevaltDlg& dialog, const QStringList& files);

// Shows dialog's many-bids window (made on first use, a window of its own
// that the dialog owns) in front, with names added to its list.
CBatchWindow* OpenBatchWindow(CBrevaltDlg& dialog, const QStringList& names = {});

}  // namespace brevalt::app

#endif  // BREVALT_APP_BATCH_BATCH_ENTRY_H
