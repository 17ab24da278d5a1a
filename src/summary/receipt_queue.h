// Receipts of logs written one after another by a helper thread, so that a
// run goes on to its next bid while an authority answers for the last log.
#ifndef BREVALT_SUMMARY_RECEIPT_QUEUE_H
#define BREVALT_SUMMARY_RECEIPT_QUEUE_H

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace brevalt {

class CReceiptQueue {
 public:
  // Called on the helper thread with the log and WriteVerifyReceipt's result.
  using Done = std::function<void(const std::u16string& log, int rc)>;

  CReceiptQueue() = default;
  // Writes every receipt still queued, then ends the helper.
  ~CReceiptQueue();
  CReceiptQueue(const CReceiptQueue&) = delete;
  CReceiptQueue& operator=(const CReceiptQueue&) = delete;

  // Queues the receipt of log; done is called once it is written or failed.
  // When no helper thread can be started, writes it before returning. Any
  // thread.
  void Add(std::u16string log, Done done);
  // Returns once every receipt queued so far is written or failed.
  void WaitUntilIdle();

 private:
  struct Job {
    std::u16string log;
    Done done;
  };
  void Work();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread helper_;
};

}  // namespace brevalt

#endif  // BREVALT_SUMMARY_RECEIPT_QUEUE_H
