// The line below the window's buttons: how wide it asks the window to be.
#include "widgets/StatusArea.h"

#include <QApplication>
#include <QLayout>
#include <QProxyStyle>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// A progress bar that asks for most of a window, as the Windows style's does.
class WideBarStyle : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        const QSize asked = QProxyStyle::sizeFromContents(type, option, size, widget);
        return type == CT_ProgressBar ? QSize(400, asked.height()) : asked;
    }
};

}  // namespace

// A least width that grew with them would widen the window after each job for good.
TEST(StatusArea, ItsLeastWidthFollowsNeitherTheStyleTheTextNorTheButtonsShown)
{
    const QString previous = QApplication::style()->name();
    QApplication::setStyle(new WideBarStyle);
    {
        trackmill::TStatusArea area;
        const int least = area.minimumSizeHint().width();
        area.ShowMessage(QStringLiteral("6 converted, 0 skipped, 0 failed, and a word as long as "
                                        "Donaudampfschifffahrtsgesellschaftskapitaenswitwenrente"));
        area.SetProgress(100);
        area.SetOutputFolder(QStringLiteral("C:\\Music\\"));
        area.SetDetailsAvailable(true);
        area.ShowCollecting(true);
        EXPECT_EQ(area.minimumSizeHint().width(), least);
        area.ShowCollecting(false);
        EXPECT_EQ(area.minimumSizeHint().width(), least);

        // At that width each button shown keeps its whole caption, and all of them fit.
        area.show();
        area.resize(least, area.minimumSizeHint().height());
        area.layout()->activate();
        int right = 0;
        for (const QPushButton *button : area.findChildren<QPushButton *>()) {
            if (button->isHidden()) continue;
            SCOPED_TRACE(button->objectName().toStdString());
            EXPECT_GE(button->width(), button->sizeHint().width());
            right = std::max(right, button->geometry().right());
        }
        EXPECT_LT(right, area.width());

        // Without room kept for the buttons (a narrow screen), the bar's wish still does not
        // decide the line's width.
        area.SetRoomForButtons(false);
        area.SetOutputFolder({});
        area.SetDetailsAvailable(false);
        EXPECT_LT(area.minimumSizeHint().width(), 400);
    }
    QApplication::setStyle(previous);
}
