#pragma once

#include <QLabel>

namespace qm {

// A label whose blanks are half a character (6 pixels) wide whatever the
// font, so the blanks of "从第        个ID开始采集" leave room for the box laid
// over them.
class SpacedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qm
