// The file-open dialog of the choose command, behind one function so that
// tests pick the file instead of a user.
#ifndef BREVALT_APP_FILE_CHOOSER_H
#define BREVALT_APP_FILE_CHOOSER_H

#include <QString>
#include <functional>

class QWidget;

namespace brevalt::app {

// The filter of the open dialog: bid files first, then every file ("*", as
// "*.*" here would leave out names without a dot).
inline constexpr char kBidFileFilter[] = "标书文件 (*.bidx);;所有文件 (*)";

// Asks the user for an existing file to open; the full path, or an empty
// string when the user cancelled. With a hook set, shows nothing and returns
// the hook's answer. Interface thread only.
QString ChooseFileToOpen(QWidget* parent);

// Installs (or, with an empty function, removes) the hook. For tests.
void SetFileChooserHook(std::function<QString()> hook);

}  // namespace brevalt::app

#endif  // BREVALT_APP_FILE_CHOOSER_H
