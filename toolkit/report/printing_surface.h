#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <map>
#include <tuple>
#include <vector>

class QPagedPaintDevice;

namespace vpl {

class Picture;

// What the printed report draws on: a page measured in twips from the top left corner of
// its printable area, with the operations of a printer object: a font, a current position,
// print a text, paint a picture, start a page, end the document.
class PrintingSurface {
  public:
    virtual ~PrintingSurface() = default;

    QString FontName = QStringLiteral("arial");
    double FontSize = 10;  // points
    bool FontBold = false;
    double CurrentX = 0;
    double CurrentY = 0;

    // Prints with the text's top at the current position, then moves to the start of the
    // next line.
    void Print(const QString& text);
    void PaintPicture(const Picture& picture, double x, double y, double width, double height);
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;

    // The printable area, in twips.
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    // The height of a line in the current font: Arial's line spacing.
    double TextHeight() const { return FontSize * 20 * 1.15; }
    // The width of `text` in the current font, in twips.
    double TextWidth(const QString& text) const;

  protected:
    // The current font, sized in twips, and its metrics: made once per name, size and weight,
    // since a report prints thousands of lines in a handful of fonts.
    struct SizedFont {
        QFont font;
        QFontMetricsF metrics;
    };
    const SizedFont& font() const;
    virtual void drawText(double x, double y, const QString& text) = 0;
    virtual void drawPicture(const Picture& picture, const QRectF& twips) = 0;

  private:
    mutable std::map<std::tuple<QString, double, bool>, SizedFont> fonts_;
};

// Paints on a printer or a PDF writer, one painter unit to a twip.
class PainterSurface : public PrintingSurface {
  public:
    explicit PainterSurface(QPagedPaintDevice& device);
    // False when the device refused to start (a printer the service does not accept).
    bool isActive() const { return painter_.isActive(); }

    void NewPage() override;
    void EndDoc() override;
    double ScaleWidth() const override { return width_; }
    double ScaleHeight() const override { return height_; }

  protected:
    void drawText(double x, double y, const QString& text) override;
    void drawPicture(const Picture& picture, const QRectF& twips) override;

  private:
    QPagedPaintDevice& device_;
    QPainter painter_;
    double width_ = 0;
    double height_ = 0;
};

// Keeps every operation with its page, its position and its font: for counting the pages
// before printing them, and for tests.
class RecordingSurface : public PrintingSurface {
  public:
    struct Operation {
        enum class Kind { Text, Picture, NewPage, EndDoc } kind = Kind::Text;
        int page = 1;
        double x = 0;
        double y = 0;
        QString text;  // a text; nothing for the other kinds
        QString fontName;
        double fontSize = 0;
        bool bold = false;
        const Picture* picture = nullptr;
        QRectF rect;  // where a picture is painted
    };

    RecordingSurface(double width, double height) : width_(width), height_(height) {}

    const std::vector<Operation>& operations() const { return operations_; }
    int pages() const { return page_; }

    void NewPage() override;
    void EndDoc() override;
    double ScaleWidth() const override { return width_; }
    double ScaleHeight() const override { return height_; }

  protected:
    void drawText(double x, double y, const QString& text) override;
    void drawPicture(const Picture& picture, const QRectF& twips) override;

  private:
    Operation operation(Operation::Kind kind) const;

    double width_;
    double height_;
    int page_ = 1;
    std::vector<Operation> operations_;
};

}  // namespace vpl
