// SIGTERM and SIGINT (the system shutting the program down, Ctrl-C in its terminal) while the event
// loop runs: instead of ending the process where it stands, each becomes a close of the main
// window, so that a Read in progress is stopped and the meter and its adapter are left as after
// any Read. The handler only writes a byte into a pipe; a socket notifier on the GUI thread reads
// it and calls the close. A second signal of the same kind is not caught: it ends the program at
// once, as the user then expects.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace klxr {

class TerminationSignals : public QObject {
 public:
  // close: what a signal turns into, run on the GUI thread.
  explicit TerminationSignals(std::function<void()> close);
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  struct Handlers;
  void TakeSignals();

  std::function<void()> close_;
  std::unique_ptr<Handlers> previous_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace klxr
