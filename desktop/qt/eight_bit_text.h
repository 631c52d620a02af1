// The program keeps its texts and paths as 8-bit characters. Texts of the program's own (catalogue,
// captions, template texts) are shown as Latin-1; paths go through the file system's own encoding.
#pragma once

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace klxr {

inline QString TextToQString(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string TextFromQString(const QString& text) {
  return text.toLatin1().toStdString();
}

inline QString PathToQString(std::string_view path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

inline std::string PathFromQString(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace klxr
