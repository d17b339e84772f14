#include "ui/picture_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

namespace qm {

PictureBox::PictureBox(const QString& picture, QWidget* parent)
    : QWidget(parent), renderer_(new QSvgRenderer(picture, this)) {
    setCursor(Qt::PointingHandCursor);
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QSize natural = renderer_->defaultSize();
    // Drawn at its own size from the top left; the link text covers the rest.
    renderer_->render(&painter, QRectF(0, 0, qMin(natural.width(), width()), qMin(natural.height(), height())));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit pressed();
    QWidget::mousePressEvent(event);
}

LinkLabel::LinkLabel(const QString& caption, const QString& address, QWidget* parent)
    : QLabel(caption, parent), address_(address) {
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    // Seven Latin letters and two characters must fit in the 63-pixel strip.
    underlined.setPixelSize(11);
    setFont(underlined);
    QPalette link = palette();
    link.setColor(QPalette::WindowText, QColor(0x1a, 0x4f, 0xb0));
    setPalette(link);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit pressed();
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

}  // namespace qm
