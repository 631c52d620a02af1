// Helpers of the Qt tests: a temporary folder that is also the current directory for the test's
// duration, and a way to act on a modal window while it runs its own loop.
#pragma once

#include <gtest/gtest.h>

#include <QAccessible>
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

#include "desktop/qt/eight_bit_text.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

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

#ifndef _WIN32
// A folder that can be entered but not read (mode 0311), made in the temporary folder. Root may
// read any folder, so while an OrdinaryUser lives a test run as root acts as the user nobody;
// CanHold() is false when that switch is not possible and the permission case cannot hold.
class OrdinaryUser {
 public:
  static constexpr uid_t kNobody = 65534;
  // The temporary folder is opened to the user's search, so that it reaches the folders inside.
  explicit OrdinaryUser(const std::string& temporaryFolder) : wasRoot_(geteuid() == 0) {
    if (wasRoot_) {
      switched_ = chmod(temporaryFolder.c_str(), 0711) == 0 && seteuid(kNobody) == 0;
    }
  }
  ~OrdinaryUser() {
    if (switched_) {
      EXPECT_EQ(seteuid(0), 0);
    }
  }
  OrdinaryUser(const OrdinaryUser&) = delete;
  OrdinaryUser& operator=(const OrdinaryUser&) = delete;
  bool CanHold() const { return !wasRoot_ || switched_; }

  static bool MakeUnreadableFolder(const std::string& path) {
    return mkdir(path.c_str(), 0700) == 0 && chmod(path.c_str(), 0311) == 0;
  }

 private:
  bool wasRoot_;
  bool switched_ = false;
};
#endif

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

// The widgets of a window that Tab or a click can focus and that have no accessible name, by
// object name and class.
inline QStringList UnnamedControls(const QWidget& window) {
  QStringList unnamed;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(&window)) {
      continue;
    }
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(widget);
    if (access == nullptr || access->text(QAccessible::Name).trimmed().isEmpty()) {
      unnamed << widget->objectName() + " (" + widget->metaObject()->className() + ")";
    }
  }
  return unnamed;
}

}  // namespace klxr::testing
