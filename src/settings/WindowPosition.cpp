#include "settings/WindowPosition.h"

#include "config/SettingsPath.h"

#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace trackmill {

namespace {

constexpr auto kApplicationTitle = "Trackmill";

std::function<ScreenMetrics()> &ScreenProvider()
{
    static std::function<ScreenMetrics()> provider;
    return provider;
}

std::function<void(const QString &)> &ErrorDisplay()
{
    static std::function<void(const QString &)> display;
    return display;
}

std::string Utf8(const QString &s) { return s.toStdString(); }

QStringList Words(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[ ,]"));
    return text.split(separators, Qt::SkipEmptyParts);
}

std::int64_t WordOr(const QStringList &words, int index, std::int64_t fallback)
{
    int value = 0;
    if (index < words.size() && ParseProfileInteger(Utf8(words[index]), value)) return value;
    return fallback;
}

constexpr const char *kNormalMargins = "trackmillNormalFrameMargins";

bool InNormalState(const QWidget *window)
{
    return !(window->isMinimized() || window->isMaximized() || window->isFullScreen());
}

// The frame of the window in its normal (not minimised or maximised) state.
QRect NormalFrame(const QWidget *window)
{
    if (InNormalState(window)) return window->frameGeometry();
    const QRect normal = window->normalGeometry();
    if (!normal.isValid()) return window->frameGeometry();
    // A maximised window's frame has no borders: those of its normal state are added.
    QMargins margins = FrameMargins(window);
    const QVariantList noted = window->property(kNormalMargins).toList();
    if (noted.size() == 4) margins = QMargins(noted[0].toInt(), noted[1].toInt(), noted[2].toInt(), noted[3].toInt());
    return normal.marginsAdded(margins);
}

}  // namespace

QMargins FrameMargins(const QWidget *window)
{
    const QRect frame = window->frameGeometry(), client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

void NoteNormalFrame(QWidget *window)
{
    if (!window->isVisible() || !InNormalState(window)) return;
    const QMargins m = FrameMargins(window);
    if (m.isNull()) return;  // not framed yet
    window->setProperty(kNormalMargins, QVariantList{m.left(), m.top(), m.right(), m.bottom()});
}

namespace {

int Clamp(std::int64_t v, std::int64_t lo, std::int64_t hi) { return static_cast<int>(std::clamp(v, lo, hi)); }

int Distance(const QRect &a, const QRect &b)
{
    const int dx = std::max({0, a.left() - b.right(), b.left() - a.right()});
    const int dy = std::max({0, a.top() - b.bottom(), b.top() - a.bottom()});
    return dx + dy;
}

// Until the window manager has framed a new window, Qt knows neither the frame's size
// nor where the frame will go: a position given then places the client area there, a
// title bar lower than stored, and the frame comes out larger by its borders. Once the
// window is framed, this puts the frame where it was asked to be and, once it stays
// there, goes away.
// (Asking Qt for a frame position before the window is mapped placed it wrongly.)
class FrameKeeper : public QObject {
public:
    // An empty `size` keeps the client area's size.
    FrameKeeper(QWidget *window, QPoint topLeft, QSize size)
        : QObject(window), window_(window), topLeft_(topLeft), size_(size)
    {
        // Polled: the frame's arrival raises no event of its own.
        connect(&poll_, &QTimer::timeout, this, &FrameKeeper::Check);
        poll_.start(40);
        // Without a window manager no frame ever comes; the placement was exact then.
        QTimer::singleShot(5000, this, [this] { deleteLater(); });
    }

private:
    void Check()
    {
        QWindow *handle = window_->windowHandle();
        if (!handle || !handle->isExposed()) return;
        const QMargins m = handle->frameMargins();
        // While the window manager is still building the frame, Qt may report the
        // margins of a frame that is not yet the window's.
        const auto plausible = [](int v) { return v >= 0 && v < 200; };
        if (m.isNull() || !plausible(m.left()) || !plausible(m.top()) || !plausible(m.right()) ||
            !plausible(m.bottom()))
            return;
        const QRect wanted(topLeft_, size_.isEmpty() ? window_->size().grownBy(m) : size_);
        if (handle->frameGeometry() == wanted) {
            if (++settled_ >= 3) deleteLater();
            return;
        }
        settled_ = 0;
        if (++corrections_ > 3) {
            deleteLater();  // a window manager that will not have it so
            return;
        }
        // The client area's place: window managers read a frame position by the
        // gravity hint, which may reach them after the request.
        window_->resize(wanted.size().shrunkBy(m));
        handle->setPosition(wanted.topLeft() + QPoint(m.left(), m.top()));
    }

    QWidget *window_;
    QPoint topLeft_;
    QSize size_;
    QTimer poll_;
    int corrections_ = 0;
    int settled_ = 0;
};

// Puts the window's frame at `frame`, whether or not the frame is known yet.
void PlaceFrame(QWidget *window, const QRect &frame, bool keepSize)
{
    const QMargins margins(window->geometry().left() - window->frameGeometry().left(),
                           window->geometry().top() - window->frameGeometry().top(),
                           window->frameGeometry().right() - window->geometry().right(),
                           window->frameGeometry().bottom() - window->geometry().bottom());
    if (!keepSize) window->resize(frame.size().shrunkBy(margins).expandedTo(QSize(1, 1)));
    window->move(frame.topLeft());
    QWindow *handle = window->windowHandle();
    if (handle && margins.isNull() && !handle->isVisible()) {
        new FrameKeeper(window, frame.topLeft(), keepSize ? QSize() : frame.size());
    }
}

}  // namespace

QRect FitOnAreas(const QRect &frame, QSize minimum, const QList<QRect> &areas)
{
    const QRect *best = nullptr;
    long long bestShared = -1;
    int bestDistance = INT_MAX;
    for (const QRect &area : areas) {
        if (area.contains(frame)) return frame;
        const QRect common = area.intersected(frame);
        const long long shared = common.isEmpty() ? 0 : static_cast<long long>(common.width()) * common.height();
        const int distance = Distance(area, frame);
        if (shared > bestShared || (shared == bestShared && distance < bestDistance)) {
            best = &area;
            bestShared = shared;
            bestDistance = distance;
        }
    }
    if (!best) return frame;
    const QRect area = *best;
    const QSize size = frame.size().boundedTo(area.size()).expandedTo(minimum);
    const int x = std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() + 1 - size.width()));
    const int y = std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
    return {QPoint(x, y), size};
}

QRect FitOnScreen(const QRect &frame, QSize minimum)
{
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens()) areas << screen->availableGeometry();
    return FitOnAreas(frame, minimum, areas);
}

QString ProfileReadString(const TIniFile *ini, const QString &section, const QString &key,
                          const QString &defaultValue)
{
    if (!ini) return defaultValue;
    return QString::fromStdString(ini->ReadString(Utf8(section), Utf8(key), Utf8(defaultValue)));
}

void ProfileWriteString(TIniFile *ini, const QString &section, const QString &key, const QString &value)
{
    if (!ini) return;
    ini->WriteString(Utf8(section), Utf8(key), ProtectQuotes(Utf8(value)));
}

int ProfileReadInteger(const TIniFile *ini, const QString &section, const QString &key, int defaultValue)
{
    if (!ini) return defaultValue;
    return ini->ReadInteger(Utf8(section), Utf8(key), defaultValue);
}

void ProfileWriteInteger(TIniFile *ini, const QString &section, const QString &key, int value)
{
    if (ini) ini->WriteInteger(Utf8(section), Utf8(key), value);
}

ScreenMetrics CurrentScreenMetrics()
{
    if (ScreenProvider()) return ScreenProvider()();
    ScreenMetrics m;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        m.width = screen->size().width();
        m.height = screen->size().height();
        m.pixelsPerInch = qRound(screen->logicalDotsPerInch());
    }
    return m;
}

void SetScreenMetricsProvider(std::function<ScreenMetrics()> provider) { ScreenProvider() = std::move(provider); }

QString ScreenSizeSuffix()
{
    const ScreenMetrics m = CurrentScreenMetrics();
    return QStringLiteral("(%1x%2)").arg(m.width).arg(m.height);
}

QString ReadScreenValue(const TIniFile *ini, const QString &section, const QString &key)
{
    const QString value = ProfileReadString(ini, section, key + ScreenSizeSuffix(), QString());
    return value.isEmpty() ? ProfileReadString(ini, section, key, QString()) : value;
}

void WriteScreenValue(TIniFile *ini, const QString &section, const QString &key, const QString &value)
{
    ProfileWriteString(ini, section, key + ScreenSizeSuffix(), value);
    ProfileWriteString(ini, section, key, value);
}

void WriteWindowPosition(QWidget *window, TIniFile *ini, const QString &section)
{
    const QRect frame = NormalFrame(window);
    // X11 and Wayland have no "minimised at" or "maximised at" points, hence -1s.
    ProfileWriteInteger(ini, section, kKeyFlags, 0);
    ProfileWriteInteger(ini, section, kKeyShowCmd, window->isMinimized() ? 2 : 1);
    ProfileWriteInteger(ini, section, kKeyPixelsPerInch, CurrentScreenMetrics().pixelsPerInch);
    WriteScreenValue(ini, section, kKeyMinMaxPos, QStringLiteral("-1,-1,-1,-1"));
    WriteScreenValue(ini, section, kKeyNormPos,
                     QStringLiteral("%1,%2,%3,%4")
                         .arg(frame.left())
                         .arg(frame.top())
                         .arg(frame.left() + frame.width())
                         .arg(frame.top() + frame.height()));
}

bool IsFixedSizeWindow(const QWidget *window)
{
    return window->minimumSize() == window->maximumSize() || window->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
}

void ReadWindowPosition(QWidget *window, const TIniFile *ini, const QString &section, bool restoreState,
                        bool restorePosition)
{
    Q_UNUSED(restoreState);
    if (!restorePosition) return;
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();

    bool found = false;
    if (!ReadScreenValue(ini, section, kKeyMinMaxPos).isEmpty()) found = true;
    std::int64_t left = frame.left(), top = frame.top();
    std::int64_t right = left + frame.width(), bottom = top + frame.height();
    const QString norm = ReadScreenValue(ini, section, kKeyNormPos);
    if (!norm.isEmpty()) {
        found = true;
        const QStringList w = Words(norm);
        left = WordOr(w, 0, left);
        top = WordOr(w, 1, top);
        right = WordOr(w, 2, right);
        bottom = WordOr(w, 3, bottom);
    }
    const int screenPpi = CurrentScreenMetrics().pixelsPerInch;
    // A layout saved at another font scaling would not fit this one.
    if (ProfileReadInteger(ini, section, kKeyPixelsPerInch, screenPpi) != screenPpi) found = false;

    if (found) {
        const bool fixed = IsFixedSizeWindow(window);
        if (fixed) {
            right = left + frame.width();
            bottom = top + frame.height();
        }
        if (right > left) {
            const int width = Clamp(right - left, 1, QWIDGETSIZE_MAX);
            const int height = Clamp(bottom - top, 1, QWIDGETSIZE_MAX);
            const QRect stored(Clamp(left, INT_MIN / 4, INT_MAX / 4), Clamp(top, INT_MIN / 4, INT_MAX / 4), width, height);
            const QSize borders = frame.size() - client.size();
            PlaceFrame(window, FitOnScreen(stored, window->minimumSize() + borders), fixed);
        }
    }
    window->update();
}

QString DefaultIniFileName() { return SettingsFilePath(); }

QString DefaultIniSection(const QObject *component)
{
    if (!component) return QString();
    // Class names carry our namespace; the section uses the bare name.
    QString name = QString::fromLatin1(component->metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QStringLiteral("::"));
    return colons >= 0 ? name.mid(colons + 2) : name;
}

QString ApplicationErrorText(const QString &message)
{
    if (!message.isEmpty() && message.back() > u'.') return message + u'.';
    return message;
}

void ShowApplicationError(const QString &message)
{
    const QString text = ApplicationErrorText(message);
    if (ErrorDisplay()) {
        ErrorDisplay()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void SetApplicationErrorDisplay(std::function<void(const QString &text)> display)
{
    ErrorDisplay() = std::move(display);
}

}  // namespace trackmill
