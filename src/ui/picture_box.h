#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

class QSvgRenderer;

namespace qm {

// A picture of the toolbar band, drawn from an SVG resource; reports a left
// button press.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const QString& picture, QWidget* parent = nullptr);

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QSvgRenderer* renderer_;
};

// A link text: underlined, with a hand cursor; reports a left button press
// and carries the address it stands for (empty for links that act in the
// program itself).
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& caption, const QString& address, QWidget* parent = nullptr);
    const QString& address() const { return address_; }

signals:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString address_;
};

}  // namespace qm
