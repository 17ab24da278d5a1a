#include "platform/memory_dialog.h"

namespace brevalt {

MemoryDialog::MemoryDialog() {
  checks_[kCheckVerifyRules] = true;
  checks_[kCheckWriteLog] = true;
}

void MemoryDialog::SetControlText(int id, const std::u16string& text) {
  std::lock_guard lock(mutex_);
  texts_[id] = text;
}

std::u16string MemoryDialog::GetControlText(int id) {
  std::lock_guard lock(mutex_);
  auto it = texts_.find(id);
  return it == texts_.end() ? std::u16string() : it->second;
}

bool MemoryDialog::IsChecked(int id) {
  std::lock_guard lock(mutex_);
  auto it = checks_.find(id);
  return it != checks_.end() && it->second;
}

void MemoryDialog::SetListRows(int id, const std::vector<ListRow>& rows) {
  std::lock_guard lock(mutex_);
  lists_[id] = rows;
}

std::vector<ListRow> MemoryDialog::GetListRows(int id) {
  std::lock_guard lock(mutex_);
  auto it = lists_.find(id);
  return it == lists_.end() ? std::vector<ListRow>() : it->second;
}

void MemoryDialog::BeginWait() {
  std::lock_guard lock(mutex_);
  waiting_ = true;
  ++wait_count_;
}

void MemoryDialog::EndWait() {
  std::lock_guard lock(mutex_);
  waiting_ = false;
}

void MemoryDialog::ShowWaitCursor(bool shown) {
  std::lock_guard lock(mutex_);
  wait_cursor_ = shown;
  if (shown)
    ++wait_cursor_count_;
}

bool MemoryDialog::IsWaitCursorShown() const {
  std::lock_guard lock(mutex_);
  return wait_cursor_;
}

int MemoryDialog::WaitCursorCount() const {
  std::lock_guard lock(mutex_);
  return wait_cursor_count_;
}

void MemoryDialog::ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                                  MessageBoxIcon icon) {
  std::lock_guard lock(mutex_);
  boxes_.push_back({text, caption, icon});
}

void MemoryDialog::SetChecked(int id, bool checked) {
  std::lock_guard lock(mutex_);
  checks_[id] = checked;
}

bool MemoryDialog::IsWaiting() const {
  std::lock_guard lock(mutex_);
  return waiting_;
}

int MemoryDialog::WaitCount() const {
  std::lock_guard lock(mutex_);
  return wait_count_;
}

std::vector<MemoryDialog::MessageBoxRecord> MemoryDialog::MessageBoxes() const {
  std::lock_guard lock(mutex_);
  return boxes_;
}

}  // namespace brevalt
