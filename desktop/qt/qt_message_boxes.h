// The desktop program's message boxes: the catalogue's text in a box with the program's caption and
// the kind's icon and buttons. Every box blocks the whole program until it is answered.
#pragma once

#include <QFontMetrics>
#include <QString>
#include <string>
#include <string_view>

#include "resources/message_catalogue.h"

namespace klxr {

// The width a box needs for its title bar to show the whole caption, for the box's font.
int CaptionWidth(const QString& caption, const QFontMetrics& metrics);

class QtMessageBoxes : public MessageBoxes {
 public:
  // caption: the program's caption, the title of every box.
  explicit QtMessageBoxes(std::string caption);
  // Boxes with the caption of the program's string table.
  QtMessageBoxes();

  void Show(int index, std::string_view text, BoxKind kind) override;
  Answer Ask(int index, std::string_view text) override;
  // The detail is the box's informative text, shown below its text.
  void ShowDetailed(int index, std::string_view text, BoxKind kind,
                    std::string_view detail) override;
  Answer AskDefaultNo(int index, std::string_view text) override;

 private:
  std::string caption_;
};

}  // namespace klxr
