// A frame around the control that has the focus, drawn outside it in the style's
// highlight colour: the style's own mark is faint on some controls (a default button, a
// check box at a large scale) and missing on others (a list).
#pragma once

#include <QFocusFrame>

namespace trackmill {

class TFocusFrame : public QFocusFrame {
    Q_OBJECT

public:
    // Follows the focus among the controls of `window`.
    explicit TFocusFrame(QWidget *window);

protected:
    void paintEvent(QPaintEvent *event) override;
    // Kept above the controls round it, which lie close in the window's rows.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Follow(QWidget *now);

    QWidget *window_;
};

}  // namespace trackmill
