#include "ui/qt_text.h"

#include "text/gbk.h"

using namespace Qt::Literals::StringLiterals;

namespace qm {

QString from_gbk(std::string_view gbk) { return QString::fromStdString(gbk_to_utf8(gbk)); }

std::string to_gbk(const QString& text) { return utf8_to_gbk(text.toStdString()); }

QString lines_from_gbk(std::string_view gbk) {
    QString text = from_gbk(gbk);
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::string lines_to_gbk(const QString& text) {
    QString crlf = text;
    // QPlainTextEdit never hands out CR, but a plain string might carry CR LF already.
    crlf.replace(u"\r\n"_s, u"\n"_s);
    crlf.replace(QLatin1Char('\n'), u"\r\n"_s);
    return to_gbk(crlf);
}

}  // namespace qm
