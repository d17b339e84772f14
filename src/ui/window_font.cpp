#include "ui/window_font.h"

#include <QApplication>
#include <QFont>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace qm {

void use_window_font() {
    QFont font = QApplication::font();
    font.setFamilies({u"WenQuanYi Zen Hei"_s, u"WenQuanYi Micro Hei"_s, u"Noto Sans CJK SC"_s, u"SimSun"_s,
                      u"Microsoft YaHei"_s, font.family()});
    font.setPixelSize(12);
    QApplication::setFont(font);
}

}  // namespace qm
