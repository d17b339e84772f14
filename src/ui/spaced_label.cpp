#include "ui/spaced_label.h"

#include <QPainter>

namespace qm {

void SpacedLabel::paintEvent(QPaintEvent*) {
    constexpr int kBlankWidth = 6;
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const QFontMetrics metrics(font());
    const int baseline = (height() + metrics.ascent() - metrics.descent()) / 2;
    int x = contentsRect().left();
    const QString caption = text();
    qsizetype start = 0;
    while (start <= caption.size()) {
        qsizetype blank = caption.indexOf(QLatin1Char(' '), start);
        if (blank < 0) blank = caption.size();
        const QString piece = caption.mid(start, blank - start);
        painter.drawText(x, baseline, piece);
        x += metrics.horizontalAdvance(piece);
        if (blank < caption.size()) x += kBlankWidth;
        start = blank + 1;
    }
}

}  // namespace qm
