#include "SvgExport.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string_view>

#include "CaptionFit.h"

namespace TreeCore {

namespace {

// Caption size in pixels at 100 %, as the pad paints it.
constexpr double CaptionPixels = 11.0;
// Six-character captions (-32768) are squeezed to fit their circle.
constexpr double NarrowCaptionPixels = 9.0;

// Numbers go through a small buffer: a 32767-node picture holds some 400,000
// of them, and stream formatting of doubles is the slow part of writing it.
class SvgOut {
 public:
  explicit SvgOut(std::ostream& out) : out_(out) { buffer_.reserve(1 << 16); }
  ~SvgOut() { Flush(); }

  SvgOut& operator<<(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() > (1 << 16) - 256) Flush();
    return *this;
  }
  // Without this a character would be written as the number of its code.
  SvgOut& operator<<(char c) { return *this << std::string_view(&c, 1); }
  SvgOut& operator<<(double value) {
    char digits[64];
    // Two decimals are a hundredth of a pixel; trailing zeros are dropped.
    const double rounded = std::round(value * 100) / 100;
    auto [end, ec] =
        std::to_chars(digits, digits + sizeof digits, rounded + 0.0, std::chars_format::fixed, 2);
    if (ec != std::errc()) return *this << std::string_view("0");
    char* p = end;
    while (p > digits && p[-1] == '0') --p;
    if (p > digits && p[-1] == '.') --p;
    std::string_view text(digits, static_cast<std::size_t>(p - digits));
    if (text == "-0") text = "0";
    return *this << text;
  }
  void Escaped(std::string_view text) {
    for (const char c : text) {
      switch (c) {
        case '&':
          *this << "&amp;";
          break;
        case '<':
          *this << "&lt;";
          break;
        case '>':
          *this << "&gt;";
          break;
        default:
          buffer_.push_back(c);
      }
    }
  }
  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

 private:
  std::ostream& out_;
  std::string buffer_;
};

// One picture being written: the drawing's place on the page and its groups
// of elements, lines under circles under captions, as the pad paints them.
class SvgPicture {
 public:
  SvgPicture(SvgOut& svg, const ElementArrays& elements, double pixelsPerTwip,
             const SvgOptions& options)
      : svg_(svg),
        elements_(elements),
        options_(options),
        extent_(VisibleExtent(elements)),
        s_(pixelsPerTwip),
        zoom_(s_ * PictureTwipsPerPixel),
        margin_(PictureMargin * zoom_),
        x0_(extent_.Empty ? 0 : extent_.Left),
        y0_(extent_.Empty ? 0 : extent_.Top) {}

  void Header() {
    const double width = (extent_.Empty ? 0 : extent_.Width() * s_) + 2 * margin_;
    const double height = (extent_.Empty ? 0 : extent_.Height() * s_) + 2 * margin_;
    svg_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << width
         << "\" height=\"" << height << "\" viewBox=\"0 0 " << width << ' ' << height << "\">\n"
         << "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  }

  void Lines() {
    svg_ << "<g stroke=\"#5a5a5a\" stroke-width=\"" << zoom_ << "\">\n";
    ForEachVisible(elements_.LnNode, [&](const Line& l) {
      svg_ << "<line x1=\"" << X(l.X1) << "\" y1=\"" << Y(l.Y1) << "\" x2=\"" << X(l.X2)
           << "\" y2=\"" << Y(l.Y2) << "\"/>\n";
    });
    svg_ << "</g>\n";
  }

  void Circles() {
    svg_ << "<g stroke=\"#1f3a60\" stroke-width=\"" << zoom_ << "\" fill=\"#fffbe6\">\n";
    for (std::int32_t k = 0; k < elements_.ShNode.UpperBound(); ++k) {
      const auto i = static_cast<std::int16_t>(k);
      if (!elements_.ShNode.IsLoaded(i) || !elements_.ShNode[i].Visible) continue;
      const Shape& c = elements_.ShNode[i];
      const double r = std::max(0.0, std::min(c.Width, c.Height) * s_ / 2 - 0.5 * zoom_);
      svg_ << "<circle cx=\"" << X(c.Left + c.Width / 2.0) << "\" cy=\""
           << Y(c.Top + c.Height / 2.0) << "\" r=\"" << r << '"';
      if (Warned(k)) svg_ << " stroke=\"#aa1414\" fill=\"#ffcdc8\"";
      svg_ << "/>\n";
    }
    svg_ << "</g>\n";
  }

  void Captions() {
    svg_ << "<g font-family=\"sans-serif\" font-size=\"" << CaptionPixels * zoom_
         << "\" text-anchor=\"middle\" dominant-baseline=\"central\" fill=\"#000000\">\n";
    for (std::int32_t k = 0; k < elements_.TreeNode.UpperBound(); ++k) {
      const auto i = static_cast<std::int16_t>(k);
      if (!elements_.TreeNode.IsLoaded(i) || !elements_.TreeNode[i].Visible) continue;
      const Label& l = elements_.TreeNode[i];
      double x = X(l.Left + l.Width / 2.0), y = Y(l.Top + l.Height / 2.0);
      double fit = 0;
      // Fitted captions sit at their circle's centre, in a font that keeps
      // them inside it.
      if (options_.FitCaptions && elements_.ShNode.IsLoaded(i) && elements_.ShNode[i].Visible) {
        const Shape& c = elements_.ShNode[i];
        x = X(c.Left + c.Width / 2.0);
        y = Y(c.Top + c.Height / 2.0);
        const double r = std::min(c.Width, c.Height) * s_ / 2 - 0.5 * zoom_;
        fit = CaptionFitPixels(CaptionEms(l.Caption), r, CaptionPixels * zoom_);
      }
      const double size = l.Caption.size() >= 6 ? NarrowCaptionPixels : CaptionPixels;
      const bool plated = fit <= 0 && Plate(i, x, y, l.Caption, size * zoom_);
      svg_ << "<text x=\"" << x << "\" y=\"" << y << '"';
      if (plated) svg_ << " dominant-baseline=\"alphabetic\"";
      if (fit > 0) {
        if (fit < CaptionPixels * zoom_) svg_ << " font-size=\"" << fit << '"';
      } else if (size != CaptionPixels) {
        svg_ << " font-size=\"" << size * zoom_ << '"';
      }
      svg_ << '>';
      svg_.Escaped(l.Caption);
      svg_ << "</text>\n";
    }
    svg_ << "</g>\n";
  }

  // Beside the circle, clear of a selection ring, as the pad paints them.
  void Badges() {
    const std::vector<std::string>& badges = *options_.Badges;
    svg_ << "<g font-family=\"sans-serif\" font-weight=\"bold\" font-size=\""
         << std::clamp(9 * zoom_, 7.0, 24.0)
         << "\" dominant-baseline=\"central\" fill=\"#143c8c\">\n";
    for (std::int32_t k = 0; k < elements_.ShNode.UpperBound(); ++k) {
      const auto i = static_cast<std::int16_t>(k);
      if (static_cast<std::size_t>(k) >= badges.size() || !elements_.ShNode.IsLoaded(i) ||
          !elements_.ShNode[i].Visible || badges[static_cast<std::size_t>(k)].empty())
        continue;
      const Shape& c = elements_.ShNode[i];
      svg_ << "<text x=\"" << X(c.Left + c.Width) + BadgeClearance << "\" y=\""
           << Y(c.Top + c.Height / 2.0) << '"';
      if (Warned(k)) svg_ << " fill=\"#aa1414\"";
      svg_ << '>';
      svg_.Escaped(badges[static_cast<std::size_t>(k)]);
      svg_ << "</text>\n";
    }
    svg_ << "</g>\n";
  }

 private:
  // A caption that reaches its circle's ring is laid on a plate of the fill's
  // colour over the ring, so that a minus sign next to the ring still shows.
  // Its width is the widest the usual fonts give. Such a caption stands on an
  // alphabetic baseline (`y` becomes it), with its digits centred where the
  // others are: viewers place a central baseline differently, a plate needs
  // to know where the digits are.
  bool Plate(std::int16_t i, double x, double& y, const std::string& caption, double size) {
    if (!elements_.ShNode.IsLoaded(i) || !elements_.ShNode[i].Visible) return false;
    const Shape& c = elements_.ShNode[i];
    const double width = CaptionEms(caption) * size;
    if (!(width > std::min(c.Width, c.Height) * s_ - 4 * zoom_)) return false;
    y += CaptionDigitHeight * size / 2;
    svg_ << "<rect x=\"" << x - width / 2 - zoom_ << "\" y=\""
         << y - CaptionDigitHeight * size - zoom_ << "\" width=\"" << width + 2 * zoom_
         << "\" height=\"" << CaptionDigitHeight * size + 2 * zoom_ << "\" fill=\""
         << (Warned(i) ? "#ffcdc8" : "#fffbe6") << "\"/>\n";
    return true;
  }

  double X(double twips) const { return (twips - x0_) * s_ + margin_; }
  double Y(double twips) const { return (twips - y0_) * s_ + margin_; }
  bool Warned(std::int32_t k) const {
    return options_.Warn != nullptr && static_cast<std::size_t>(k) < options_.Warn->size() &&
           (*options_.Warn)[static_cast<std::size_t>(k)];
  }

  SvgOut& svg_;
  const ElementArrays& elements_;
  const SvgOptions& options_;
  const Extent extent_;
  const double s_, zoom_, margin_, x0_, y0_;
};

}  // namespace

bool WriteSvg(std::ostream& out, const ElementArrays& elements, double pixelsPerTwip,
              const SvgOptions& options) {
  if (!(pixelsPerTwip > 0) || !std::isfinite(pixelsPerTwip))
    pixelsPerTwip = 1.0 / PictureTwipsPerPixel;
  {
    SvgOut svg(out);
    SvgPicture picture(svg, elements, pixelsPerTwip, options);
    picture.Header();
    picture.Lines();
    picture.Circles();
    picture.Captions();
    if (options.Badges != nullptr) picture.Badges();
    svg << "</svg>\n";
  }
  out.flush();
  return static_cast<bool>(out);
}

std::string SaveSvg(const std::string& path, const ElementArrays& elements, double pixelsPerTwip,
                    const SvgOptions& options) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    // The user's own file is named: the temporary one is ours.
    if (!file) return "cannot create " + path + ": " + std::strerror(errno);
    if (!WriteSvg(file, elements, pixelsPerTwip, options)) {
      const int error = errno;
      file.close();
      std::remove(temporary.c_str());
      return "cannot write " + path + ": " + std::strerror(error);
    }
    file.close();
    if (file.fail()) {
      const int error = errno;
      std::remove(temporary.c_str());
      return "cannot write " + path + ": " + std::strerror(error);
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    std::remove(temporary.c_str());
    return "cannot replace " + path + ": " + std::strerror(error);
  }
  return {};
}

}  // namespace TreeCore
