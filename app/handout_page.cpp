#include "app/handout_page.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QPrinter>
#include <QTextOption>

#include <algorithm>

#include "app/chart_export.h"
#include "app/form1.h"
#include "app/picture_box.h"

namespace jmach {

namespace {

// The page in logical pixels, 96 to the inch: A4 is 210 x 297 mm.
constexpr qreal kDpi = 96;
constexpr qreal mm(qreal v) { return v * kDpi / 25.4; }
constexpr qreal kPageWidth = mm(210), kPageHeight = mm(297), kMargin = mm(14);

QFont font(qreal points, bool bold = false, bool fixed = false) {
    QFont f = fixed ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// Rows of name, value and unit from `top`; returns the height used.
qreal paint_rows(QPainter& p, const std::vector<HandoutRow>& rows, qreal left, qreal top, qreal width) {
    p.setFont(font(7.5));
    const qreal line = mm(4.6);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const qreal y = top + line * static_cast<qreal>(i);
        p.drawText(QRectF(left, y, width * 0.62, line), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(rows[i].name));
        p.setFont(font(7.5, true));
        p.drawText(QRectF(left + width * 0.62, y, width * 0.18, line), Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromStdString(rows[i].value));
        p.setFont(font(7.5));
        p.drawText(QRectF(left + width * 0.82, y, width * 0.18, line), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(rows[i].unit));
    }
    return line * static_cast<qreal>(rows.size());
}

// A chart widget with its captions, scaled to fit `box` and centred in it.
void paint_chart(QPainter& p, QWidget& chart, const QRectF& box) {
    const qreal scale = std::min(box.width() / chart.width(), box.height() / chart.height());
    p.save();
    p.translate(box.x() + (box.width() - chart.width() * scale) / 2, box.y());
    p.scale(scale, scale);
    chart.render(&p, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    p.restore();
}

void paint_handout(QPainter& p, Form1& form, const Handout& h) {
    const qreal width = kPageWidth - 2 * kMargin;
    const qreal column = (width - mm(6)) / 2;
    qreal y = kMargin;
    p.setPen(Qt::black);
    p.setFont(font(12, true));
    const QRectF title(kMargin, y, width, mm(12));
    p.drawText(title, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, QString::fromStdString(h.title));
    y += mm(12);
    p.setFont(font(8, true));
    p.drawText(QRectF(kMargin, y, column, mm(5)), Qt::AlignLeft, QStringLiteral("Inputs"));
    p.drawText(QRectF(kMargin + column + mm(6), y, column, mm(5)), Qt::AlignLeft, QStringLiteral("Results"));
    y += mm(5);
    const qreal rows = std::max(paint_rows(p, h.inputs, kMargin, y, column),
                                paint_rows(p, h.results, kMargin + column + mm(6), y, column));
    y += rows + mm(4);

    // The charts two by two in window order; the sixth place holds the notes.
    const qreal cell = (kPageHeight - kMargin - mm(22) - y) / 3;
    for (std::size_t i = 0; i < kChartNames.size(); ++i) {
        const qreal x = kMargin + (i % 2) * (column + mm(6));
        const qreal top = y + static_cast<qreal>(i / 2) * cell;
        p.setFont(font(8, true));
        p.drawText(QRectF(x, top, column, mm(5)), Qt::AlignLeft, QString::fromStdString(h.chart_titles[i]));
        paint_chart(p, form.chart(static_cast<ChartId>(i)), QRectF(x, top + mm(5), column, cell - mm(7)));
    }
    const QRectF notes(kMargin + column + mm(6), y + 2 * cell, column, cell - mm(2));
    QString text;
    for (const std::string& n : h.notes) text += QString::fromStdString(n) + QStringLiteral("\n");
    p.setFont(font(6.5));
    QRectF used;
    p.drawText(notes, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text, &used);
    p.setFont(font(8, true));
    const qreal state_top = text.isEmpty() ? notes.top() : used.bottom() + mm(2);
    p.drawText(QRectF(notes.left(), state_top, column, mm(5)), Qt::AlignLeft, QStringLiteral("State"));
    p.setFont(font(6, false, true));
    p.drawText(QRectF(notes.left(), state_top + mm(5), column, notes.bottom() - state_top - mm(5)),
               Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(h.state));

    // The link, broken anywhere (it has no blanks), and the date.
    y = kPageHeight - kMargin - mm(20);
    p.setFont(font(8, true));
    p.drawText(QRectF(kMargin, y, width, mm(5)), Qt::AlignLeft, QStringLiteral("Link"));
    p.setFont(font(6, false, true));
    QTextOption wrap(Qt::AlignLeft | Qt::AlignTop);
    wrap.setWrapMode(QTextOption::WrapAnywhere);
    p.drawText(QRectF(kMargin, y + mm(5), width, mm(11)), QString::fromStdString(h.link), wrap);
    p.setFont(font(7));
    p.drawText(QRectF(kMargin, kPageHeight - kMargin - mm(4), width, mm(4)), Qt::AlignRight | Qt::AlignBottom,
               QString::fromStdString(h.date));
}

}  // namespace

QByteArray handout_pdf(Form1& form, const Handout& handout) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QString::fromStdString(handout.title));
        pdf.setCreator(QStringLiteral("jmach"));
        pdf.setResolution(static_cast<int>(kDpi));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Portrait);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&pdf);
        paint_handout(painter, form, handout);
    }
    return buffer.data();
}

std::optional<QString> print_handout(Form1& form, const Handout& handout, QPrinter& printer) {
    printer.setDocName(QString::fromStdString(handout.title));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return printer_refusal(printer);
    }
    // Recorded first, so that the printer gets lines and text rather than
    // a bitmap of the charts; then scaled from the page to the paper.
    QPicture picture;
    QPainter recorder(&picture);
    paint_handout(recorder, form, handout);
    recorder.end();
    // The page fitted to the paper; a picture plays back enlarged by the
    // device's resolution over its own, which the second scale takes back.
    const QRect paper = painter.viewport();
    const qreal fit = std::min(paper.width() / kPageWidth, paper.height() / kPageHeight);
    painter.translate(paper.x(), paper.y());
    painter.scale(fit, fit);
    painter.scale(picture.logicalDpiX() / qreal(printer.logicalDpiX()), picture.logicalDpiY() / qreal(printer.logicalDpiY()));
    painter.drawPicture(0, 0, picture);
    if (!painter.end()) return QStringLiteral("The printer %1 did not finish the job.").arg(printer.printerName());
    return std::nullopt;
}

}  // namespace jmach
