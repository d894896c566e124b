// Text from paths, reasons and tags, shown as it stands: Qt takes a tooltip that looks
// like markup for rich text, and a folder named "<h1>..." would become a heading.
#pragma once

#include <QString>
#include <QTextDocument>

namespace trackmill {

inline QString PlainTip(const QString &text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

}  // namespace trackmill
