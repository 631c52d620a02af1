// Helpers of the Qt tests: a temporary folder that is also the current directory for the test's
// duration, and a way to act on a modal window while it runs its own loop.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>

#include "ui/eight_bit_text.h"

namespace klxr::testing {

// A temporary folder; the current directory is restored when it goes away.
class TemporaryFolder {
 public:
  TemporaryFolder()
      : previous_(QDir::currentPath()), root_(QFileInfo(folder_.path()).canonicalFilePath()) {}
  ~TemporaryFolder() { QDir::setCurrent(previous_); }

  // Full path of a name inside the folder, as the program writes paths ("" for the folder).
  std::string Path(const QString& name = {}) const {
    return PathFromQString(QDir::toNativeSeparators(name.isEmpty() ? root_ : root_ + "/" + name));
  }
  void MakeFile(const QString& name) const {
    QFile file(root_ + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
  }
  void MakeFolder(const QString& name) const { ASSERT_TRUE(QDir(root_).mkpath(name)); }

 private:
  QString previous_;
  QTemporaryDir folder_;
  QString root_;
};

// Runs action on the modal window that the next exec() shows, from inside its loop.
inline void WhenModalShown(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, [action = std::move(action)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      ADD_FAILURE() << "no modal window is shown";
      return;
    }
    action(modal);
  });
}

}  // namespace klxr::testing
