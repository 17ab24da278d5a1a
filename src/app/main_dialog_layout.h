// The main dialog's controls and list columns, in dialog units: the one
// place that says where every control sits.
#ifndef BREVALT_APP_MAIN_DIALOG_LAYOUT_H
#define BREVALT_APP_MAIN_DIALOG_LAYOUT_H

#include <span>

#include "platform/dialog_seam.h"

namespace brevalt::app {

// Ids of the main dialog's commands beyond those the engine touches.
enum CommandId : int {
  kNoId = -1,  // labels and frames
  kButtonClose = 8,
  kButtonViewOpenerCert = 1020,
  kButtonClearMessages = 1025,
  kButtonCloseHidden = 1031,
};

enum class ControlKind {
  kStatic,  // a label, or a static whose text the dialog sets
  kEdit,    // editable, scrolls horizontally
  kReadOnlyEdit,
  kButton,
  kCheckBox,
  kGroupBox,  // a frame drawn behind the controls it surrounds
  kListView,  // report style: columns, grid lines, full-row selection
};

struct ControlSpec {
  int id;
  ControlKind kind;
  const char* text;  // UTF-8
  int x, y, width, height;
  bool hidden;
};

// A column as wide as the list leaves, so every column is in sight.
inline constexpr int kFillColumn = 0;

struct ColumnSpec {
  const char* title;  // UTF-8
  int width;          // pixels, or kFillColumn
};

struct ListSpec {
  int id;
  std::span<const ColumnSpec> columns;
};

// The dialog's size in dialog units.
inline constexpr int kMainDialogWidth = 439;
inline constexpr int kMainDialogHeight = 464;

// Every control, in creation (and tab) order.
std::span<const ControlSpec> MainDialogControls();
// The columns of the three lists.
std::span<const ListSpec> MainDialogLists();

}  // namespace brevalt::app

#endif  // BREVALT_APP_MAIN_DIALOG_LAYOUT_H
