#include "main/Storage.h"

#include "main/Form1.h"

#include <QEvent>

namespace trackmill {

namespace {

// Until the settings storage is wired in, the restore step still runs on first show.
class FirstShow : public QObject {
public:
    explicit FirstShow(TForm1 &form) : QObject(&form), form_(form) { form.installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &form_ && event->type() == QEvent::Show && !done_) {
            done_ = true;
            form_.FormStorage1RestorePlacement(&form_);
        }
        return false;
    }

private:
    TForm1 &form_;
    bool done_ = false;
};

}  // namespace

TFormStorage *CreateFormStorage(TForm1 &form)
{
    new FirstShow(form);
    return nullptr;
}

void SetIniFileName(TForm1 &) {}

QString StorageIniFileName(const TForm1 &)
{
    return {};
}

}  // namespace trackmill
