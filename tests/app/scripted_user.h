// Answers the dialogs' message boxes and file dialog in place of a user, so
// that no test blocks on a modal window, and remembers every box shown.
#ifndef BREVALT_TESTS_APP_SCRIPTED_USER_H
#define BREVALT_TESTS_APP_SCRIPTED_USER_H

#include <QString>
#include <deque>
#include <vector>

#include "app/file_chooser.h"
#include "app/message_box.h"

namespace brevalt::app::testing {

class ScriptedUser {
 public:
  // Installs the hooks. OK boxes are answered OK; Yes/No boxes with the next
  // queued answer, else No. The file dialog gives the next queued path, else
  // it is cancelled.
  ScriptedUser() {
    SetMessageBoxHook([this](const BoxRequest& request) {
      boxes_.push_back(request);
      if (!request.yes_no)
        return BoxAnswer::kOk;
      BoxAnswer answer = BoxAnswer::kNo;
      if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
      }
      return answer;
    });
    SetFileChooserHook([this] {
      QString path;
      if (!paths_.empty()) {
        path = paths_.front();
        paths_.pop_front();
      }
      return path;
    });
  }
  ~ScriptedUser() {
    SetMessageBoxHook({});
    SetFileChooserHook({});
  }
  ScriptedUser(const ScriptedUser&) = delete;
  ScriptedUser& operator=(const ScriptedUser&) = delete;

  void AnswerNextQuestion(BoxAnswer answer) { answers_.push_back(answer); }
  void ChooseNextFile(const QString& path) { paths_.push_back(path); }

  // The boxes shown so far, and forgets them.
  std::vector<BoxRequest> TakeBoxes() { return std::exchange(boxes_, {}); }

 private:
  std::deque<BoxAnswer> answers_;
  std::deque<QString> paths_;
  std::vector<BoxRequest> boxes_;
};

}  // namespace brevalt::app::testing

#endif  // BREVALT_TESTS_APP_SCRIPTED_USER_H
