#include "report/pdf_canvas.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

#include "report/pdf_fonts.h"
#include "report/report_text.h"

namespace klxr::report {
namespace {

// The fonts of every page's resources, by their resource names /F1 to /F4.
constexpr std::array<Font, 4> kFonts{Font{1, false, false}, Font{1, true, false},
                                     Font{1, false, true}, Font{1, true, true}};
constexpr int kFirstFontObject = 3;
constexpr int kInfoObject = kFirstFontObject + static_cast<int>(kFonts.size());
constexpr int kFirstPageObject = kInfoObject + 1;
constexpr double kHatchSpacing = 3;

std::string FontResource(const Font& font) {
  return "/F" + std::to_string(1 + (font.bold ? 1 : 0) + (font.fixed ? 2 : 0));
}

// A number as PDF writes it: at most three decimals, none that are 0, whatever the C locale.
std::string Number(double value) {
  std::array<char, 32> text{};
  const auto result =
      std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 3);
  std::string number(text.data(), result.ptr);
  if (number.find('.') != std::string::npos) {
    number.erase(number.find_last_not_of('0') + 1);
    if (number.back() == '.') {
      number.pop_back();
    }
  }
  return number == "-0" ? "0" : number;
}

std::string ColourOperands(Colour colour) {
  return Number(colour.red / 255.0) + ' ' + Number(colour.green / 255.0) + ' ' +
         Number(colour.blue / 255.0);
}

// A PDF string of the text's bytes: the delimiters escaped, bytes outside printable ASCII as
// octal escapes, so that the file stays 7-bit text apart from its binary marker.
std::string PdfString(std::string_view text) {
  std::string string = "(";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '(' || c == ')' || c == '\\') {
      string += '\\';
      string += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned>(byte));
      string += escape;
    } else {
      string += c;
    }
  }
  return string + ')';
}

// A text string of the document's information: UTF-16BE with its byte order mark, in hex.
std::string PdfTextString(std::string_view utf8) {
  std::string hex = "<FEFF";
  auto unit = [&hex](unsigned value) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04X", value & 0xFFFFu);
    hex += digits;
  };
  for (const char32_t character : DecodeUtf8(utf8)) {
    if (character >= 0x10000) {
      unit(0xD800u + ((character - 0x10000u) >> 10));
      unit(0xDC00u + ((character - 0x10000u) & 0x3FFu));
    } else {
      unit(character);
    }
  }
  return hex + '>';
}

// The document's bytes and where each object starts in them.
class PdfFile {
 public:
  PdfFile() : bytes_("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n") {}

  void Object(int number, const std::string& body) {
    if (offsets_.size() < static_cast<std::size_t>(number)) {
      offsets_.resize(static_cast<std::size_t>(number));
    }
    offsets_[static_cast<std::size_t>(number) - 1] = bytes_.size();
    bytes_ += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
  }

  // The cross-reference table of the objects 1 to n and the trailer.
  std::string Finish(int root, int info) {
    const std::size_t xref = bytes_.size();
    bytes_ += "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets_) {
      const std::string digits = std::to_string(offset);
      bytes_ +=
          std::string(10 - std::min<std::size_t>(10, digits.size()), '0') + digits + " 00000 n \n";
    }
    bytes_ += "trailer\n<< /Size " + std::to_string(offsets_.size() + 1) + " /Root " +
              std::to_string(root) + " 0 R /Info " + std::to_string(info) + " 0 R >>\nstartxref\n" +
              std::to_string(xref) + "\n%%EOF\n";
    return std::move(bytes_);
  }

 private:
  std::string bytes_;
  std::vector<std::size_t> offsets_;
};

}  // namespace

PdfCanvas::PdfCanvas(double width, double height) : width_(width), height_(height), pages_(1) {}

FontMetrics PdfCanvas::Metrics(const Font& font) const {
  return StandardFontMetrics(font);
}

double PdfCanvas::TextWidth(const Font& font, std::string_view text) const {
  return StandardFontWidth(font, text);
}

void PdfCanvas::DrawText(const Font& font, Colour colour, Point baselineLeft, std::string_view text,
                         double scale) {
  Content() += "BT " + FontResource(font) + ' ' + Number(font.size) + " Tf " +
               ColourOperands(colour) + " rg " + Number(scale) + " 0 0 1 " +
               Number(baselineLeft.x) + ' ' + Number(Y(baselineLeft.y)) + " Tm " + PdfString(text) +
               " Tj ET\n";
}

void PdfCanvas::DrawLine(Point from, Point to, Colour colour, double width) {
  Content() += Number(width) + " w " + ColourOperands(colour) + " RG " + Number(from.x) + ' ' +
               Number(Y(from.y)) + " m " + Number(to.x) + ' ' + Number(Y(to.y)) + " l S\n";
}

std::string PdfCanvas::RectPath(const Rect& rect) const {
  return Number(rect.left) + ' ' + Number(Y(rect.bottom())) + ' ' + Number(rect.width) + ' ' +
         Number(rect.height) + " re";
}

void PdfCanvas::FillRect(const Rect& rect, Colour colour) {
  Content() += ColourOperands(colour) + " rg " + RectPath(rect) + " f\n";
}

void PdfCanvas::HatchRect(const Rect& rect, Colour colour) {
  // Lines rising at 45 degrees every kHatchSpacing across, clipped to the rectangle.
  Content() += "q " + RectPath(rect) + " W n 0.5 w " + ColourOperands(colour) + " RG";
  const double bottom = Y(rect.bottom());
  for (double x = rect.left - rect.height; x < rect.right(); x += kHatchSpacing) {
    Content() += ' ' + Number(x) + ' ' + Number(bottom) + " m " + Number(x + rect.height) + ' ' +
                 Number(bottom + rect.height) + " l";
  }
  Content() += " S Q\n";
}

void PdfCanvas::StrokeRect(const Rect& rect, Colour colour, double width) {
  Content() += Number(width) + " w " + ColourOperands(colour) + " RG " + RectPath(rect) + " S\n";
}

void PdfCanvas::NewPage() {
  pages_.emplace_back();
}

std::string PdfCanvas::Document(std::string_view title, std::string_view creator) const {
  PdfFile file;
  std::string kids;
  for (std::size_t k = 0; k < pages_.size(); ++k) {
    kids += std::to_string(kFirstPageObject + 2 * static_cast<int>(k)) + " 0 R ";
  }
  file.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
  file.Object(
      2, "<< /Type /Pages /Kids [ " + kids + "] /Count " + std::to_string(pages_.size()) + " >>");
  std::string fonts;
  for (std::size_t k = 0; k < kFonts.size(); ++k) {
    const int number = kFirstFontObject + static_cast<int>(k);
    file.Object(number, "<< /Type /Font /Subtype /Type1 /BaseFont /" +
                            std::string(StandardFontName(kFonts[k])) +
                            " /Encoding /WinAnsiEncoding >>");
    fonts += FontResource(kFonts[k]) + ' ' + std::to_string(number) + " 0 R ";
  }
  file.Object(kInfoObject, "<< /Title " + PdfTextString(title) + " /Creator " +
                               PdfTextString(creator) + " /Producer " + PdfTextString(creator) +
                               " >>");
  const std::string mediaBox = "[0 0 " + Number(width_) + ' ' + Number(height_) + ']';
  for (std::size_t k = 0; k < pages_.size(); ++k) {
    const int number = kFirstPageObject + 2 * static_cast<int>(k);
    file.Object(number, "<< /Type /Page /Parent 2 0 R /MediaBox " + mediaBox +
                            " /Resources << /Font << " + fonts + ">> >> /Contents " +
                            std::to_string(number + 1) + " 0 R >>");
    file.Object(number + 1, "<< /Length " + std::to_string(pages_[k].size()) + " >>\nstream\n" +
                                pages_[k] + "\nendstream");
  }
  return file.Finish(1, kInfoObject);
}

}  // namespace klxr::report
