#include "desktop/qt/termination_signals.h"

#include <QSocketNotifier>
#include <iterator>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace klxr {

#ifndef _WIN32
namespace {

constexpr int kCaughtSignals[] = {SIGTERM, SIGINT};

// The pipe's write end, the one thing the signal handler touches; -1 while no catcher lives.
volatile std::sig_atomic_t signalPipeWriteEnd = -1;

void WriteSignalToPipe(int signal) {
  const int savedErrno = errno;
  const char byte = static_cast<char>(signal);
  if (signalPipeWriteEnd >= 0) {
    [[maybe_unused]] const ssize_t written = write(signalPipeWriteEnd, &byte, 1);
  }
  errno = savedErrno;
}

}  // namespace

struct TerminationSignals::Handlers {
  int pipe[2] = {-1, -1};
  struct sigaction previous[std::size(kCaughtSignals)]{};
};

TerminationSignals::TerminationSignals(std::function<void()> close)
    : close_(std::move(close)), previous_(std::make_unique<Handlers>()) {
  if (pipe2(previous_->pipe, O_NONBLOCK | O_CLOEXEC) != 0) {
    return;  // without the pipe the signals keep their default action
  }
  signalPipeWriteEnd = previous_->pipe[1];
  notifier_ = std::make_unique<QSocketNotifier>(previous_->pipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { TakeSignals(); });
  struct sigaction action {};
  action.sa_handler = WriteSignalToPipe;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (std::size_t i = 0; i < std::size(kCaughtSignals); ++i) {
    sigaction(kCaughtSignals[i], &action, &previous_->previous[i]);
  }
}

TerminationSignals::~TerminationSignals() {
  if (previous_->pipe[0] < 0) {
    return;
  }
  for (std::size_t i = 0; i < std::size(kCaughtSignals); ++i) {
    sigaction(kCaughtSignals[i], &previous_->previous[i], nullptr);
  }
  signalPipeWriteEnd = -1;
  notifier_.reset();
  close(previous_->pipe[0]);
  close(previous_->pipe[1]);
}

void TerminationSignals::TakeSignals() {
  char bytes[16];
  bool signalled = false;
  while (read(previous_->pipe[0], bytes, sizeof bytes) > 0) {
    signalled = true;
  }
  if (signalled && close_) {
    close_();
  }
}

#else

// Windows delivers no SIGTERM to a windowed program; it asks its windows to close instead.
struct TerminationSignals::Handlers {};

TerminationSignals::TerminationSignals(std::function<void()> close) : close_(std::move(close)) {}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::TakeSignals() {}

#endif

}  // namespace klxr
