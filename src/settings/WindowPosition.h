// What the window's placement is kept with: profile reads and writes, the screen-size
// suffix of the position keys, the window position, and the application's standard
// error display.
#pragma once

#include "config/ProfileFile.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QMargins>
#include <QString>

#include <functional>

class QObject;
class QWidget;

namespace trackmill {

// INI keys written by the window position functions.
inline constexpr auto kKeyFlags = "Flags";
inline constexpr auto kKeyShowCmd = "ShowCmd";
inline constexpr auto kKeyPixelsPerInch = "PixelsPerInch";
inline constexpr auto kKeyMinMaxPos = "MinMaxPos";
inline constexpr auto kKeyNormPos = "NormPos";

// With no INI object every read gives its default and every write does nothing.
QString ProfileReadString(const TIniFile *ini, const QString &section, const QString &key,
                          const QString &defaultValue);
// A value whose first and last characters are both " or both ' gets one more pair of
// double quotes, which the reader removes again. Throws EIniFileException.
void ProfileWriteString(TIniFile *ini, const QString &section, const QString &key, const QString &value);
int ProfileReadInteger(const TIniFile *ini, const QString &section, const QString &key, int defaultValue);
void ProfileWriteInteger(TIniFile *ini, const QString &section, const QString &key, int value);

// What the settings need to know about the screen. Tests install their own provider to
// act out other screen sizes and pixel densities; an empty function restores the real one.
struct ScreenMetrics {
    int width = 0;
    int height = 0;
    int pixelsPerInch = 96;
};
ScreenMetrics CurrentScreenMetrics();
void SetScreenMetricsProvider(std::function<ScreenMetrics()> provider);

// "(<width>x<height>)" of the primary screen.
QString ScreenSizeSuffix();
// Reads key + suffix, then the plain key when that is empty.
QString ReadScreenValue(const TIniFile *ini, const QString &section, const QString &key);
// Writes key + suffix, then the plain key, with the same value.
void WriteScreenValue(TIniFile *ini, const QString &section, const QString &key, const QString &value);

// Writes Flags, ShowCmd, PixelsPerInch, MinMaxPos and NormPos (each position key with
// and without the suffix). NormPos is the normal frame: left, top, right, bottom.
void WriteWindowPosition(QWidget *window, TIniFile *ini, const QString &section);
// Keeps the frame's borders while the window is in its normal state: a maximised frame has
// none, and the normal frame stored from it would shrink by them.
void NoteNormalFrame(QWidget *window);
// The borders the window manager draws around the window's client area (none until framed).
QMargins FrameMargins(const QWidget *window);
// Applies the stored frame; a fixed-size window keeps its size, a position saved at
// another pixel density is ignored, a frame not wholly on a screen is fitted onto one.
// Restoring the show state is not supported: restoreState is accepted and ignored.
void ReadWindowPosition(QWidget *window, const TIniFile *ini, const QString &section,
                        bool restoreState, bool restorePosition);
// `frame` unchanged when one screen's available area holds it whole; else moved onto
// the nearest screen (the one it covers most, else the closest), shrunk to that area
// but not below `minimum`.
QRect FitOnScreen(const QRect &frame, QSize minimum = {});
// The same for the given available areas, one per screen.
QRect FitOnAreas(const QRect &frame, QSize minimum, const QList<QRect> &areas);
// True when the user cannot resize the window (its minimum and maximum size agree).
bool IsFixedSizeWindow(const QWidget *window);

// Used when a placement has no file name or section of its own.
QString DefaultIniFileName();
QString DefaultIniSection(const QObject *component);

// The application's standard error display: a modal box captioned "Trackmill" with the
// error icon. "." is added when the message's last character comes after "." in code order.
QString ApplicationErrorText(const QString &message);
void ShowApplicationError(const QString &message);
// Replaces the box (tests capture the text with it); the hook gets the finished text.
// An empty function restores the box.
void SetApplicationErrorDisplay(std::function<void(const QString &text)> display);

}  // namespace trackmill
