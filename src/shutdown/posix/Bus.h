// D-Bus, which the Linux side of the shutdown and the notice talk over (the Windows
// build has no Qt DBus).
#pragma once

#include <QDBusConnection>
