// The terminal's interruptions as events of the program's event loop: Ctrl-C, and the
// terminal closing or the system asking us to end. A third Ctrl-C ends the program at
// once, for when the events are not being served. Output to a closed pipe no longer ends
// the program: it goes on and cleans up.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace trackmill {

class TInterrupts : public QObject {
    Q_OBJECT
public:
    enum class Kind {
        Interrupt,  // Ctrl-C
        Terminate,  // the terminal closed, or the system asks us to end
    };
    // One at a time; the handler runs on the thread of the event loop.
    explicit TInterrupts(std::function<void(Kind)> handler, QObject *parent = nullptr);
    // The interruptions get their default effect again.
    ~TInterrupts() override;

private:
    std::function<void(Kind)> handler_;
    QSocketNotifier *notifier_ = nullptr;
};

}  // namespace trackmill
