#include "settings/FormPlacement.h"

#include "settings/WindowPosition.h"
#include "settings/PropsStorage.h"

#include <QCloseEvent>
#include <QEvent>
#include <QWidget>

#include <exception>

namespace trackmill {

namespace {

void ReportError(const std::exception &e) { ShowApplicationError(QString::fromStdString(e.what())); }

}  // namespace

// Keeps the INI object open for one save, restore or single access.
class TFormPlacement::IniScope {
public:
    explicit IniScope(TFormPlacement &p) : p_(p) { p_.OpenIni(); }
    ~IniScope() { p_.CloseIni(); }
    IniScope(const IniScope &) = delete;
    IniScope &operator=(const IniScope &) = delete;

private:
    TFormPlacement &p_;
};

TFormPlacement::TFormPlacement(QWidget *owner) : QObject(owner), form_(owner)
{
    if (!form_) {
        options_ = {};
        return;
    }
    // Taken now: while the window is being destroyed it no longer knows its own class.
    formClassName_ = DefaultIniSection(form_);
    if (!form_->isWindow()) options_ = {};
    form_->installEventFilter(this);
    // QWidget announces its destruction before it deletes its children, so the controls
    // whose values are saved still exist when this runs.
    connect(form_, &QObject::destroyed, this, [this] { HandleFormDestroy(); });
}

TFormPlacement::~TFormPlacement() = default;

QString TFormPlacement::IniFileName() const
{
    return iniFileName_.isEmpty() ? DefaultIniFileName() : iniFileName_;
}

QString TFormPlacement::IniSection() const
{
    return iniSection_.isEmpty() ? formClassName_ : iniSection_;
}

void TFormPlacement::OpenIni()
{
    if (iniOpenCount_++ == 0) ini_ = std::make_unique<TIniFile>(IniFileName().toStdString());
}

void TFormPlacement::CloseIni()
{
    if (iniOpenCount_ > 0 && --iniOpenCount_ == 0) ini_.reset();
}

QString TFormPlacement::ReadIniString(const QString &section, const QString &key, const QString &defaultValue)
{
    IniScope scope(*this);
    return ProfileReadString(ini_.get(), section, key, defaultValue);
}

void TFormPlacement::WriteIniString(const QString &section, const QString &key, const QString &value)
{
    IniScope scope(*this);
    ProfileWriteString(ini_.get(), section, key, value);
}

void TFormPlacement::EraseIniSection(const QString &section)
{
    IniScope scope(*this);
    ini_->EraseSection(section.toStdString());
}

void TFormPlacement::SaveSettings()
{
    // Settings that were never read are never overwritten.
    if (active_ && !restored_) return;
    IniScope scope(*this);
    WritePlacementData();
    FireSavePlacement();
    saved_ = true;
}

void TFormPlacement::RestoreSettings()
{
    saved_ = false;
    {
        IniScope scope(*this);
        ReadPlacementData();
        restored_ = true;
        FireRestorePlacement();
    }
    UpdateMaxPosition();
}

void TFormPlacement::WritePlacementData()
{
    const QString section = IniSection();
    if (form_ && form_->isWindow()) WriteWindowPosition(form_, ini_.get(), section);
    ini_->WriteBool(section.toStdString(), kKeyVisible, destroying_);
}

void TFormPlacement::ReadPlacementData()
{
    if (form_ && form_->isWindow())
        ReadWindowPosition(form_, ini_.get(), IniSection(), options_.testFlag(fpState), options_.testFlag(fpPosition));
}

void TFormPlacement::FireSavePlacement()
{
    if (onSave_) onSave_(this);
}

void TFormPlacement::FireRestorePlacement()
{
    if (onRestore_) onRestore_(this);
}

void TFormPlacement::UpdateMaxPosition()
{
    // Nothing to do on Linux: there is no settable "maximised at" point, and the window
    // manager keeps a maximised window on the screen by itself.
}

void TFormPlacement::HandleFormShow()
{
    if (!active_) return;
    try {
        RestoreSettings();
    } catch (const std::exception &e) {
        ReportError(e);
    }
}

void TFormPlacement::HandleFormCloseQuery(QCloseEvent *event)
{
    if (!event->isAccepted() || !active_ || !form_ || !form_->isWindow()) return;
    try {
        SaveSettings();
    } catch (const std::exception &e) {
        // Reported once here; the destroy-time save must not fail and report it again.
        saved_ = true;
        ReportError(e);
    }
}

void TFormPlacement::HandleFormDestroy()
{
    if (!active_ || saved_) return;
    destroying_ = true;
    try {
        SaveSettings();
    } catch (const std::exception &e) {
        ReportError(e);
    }
    destroying_ = false;
}

bool TFormPlacement::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == form_) {
        const QEvent::Type type = event->type();
        if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::WindowStateChange) NoteNormalFrame(form_);
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            // A window restored from the task bar also gets a (spontaneous) show; that
            // must not throw away what the user has changed since.
            HandleFormShow();
        } else if (event->type() == QEvent::Close) {
            // The window's own close handling decides first; only an accepted close saves.
            QPointer<QWidget> alive(form_);
            static_cast<QObject *>(form_)->event(event);
            if (alive) HandleFormCloseQuery(static_cast<QCloseEvent *>(event));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

TFormStorage::TFormStorage(QWidget *owner) : TFormPlacement(owner) {}

QStringList TFormStorage::StoredProps() const
{
    QStringList paths;
    for (const Entry &e : entries_) paths << e.path;
    return paths;
}

void TFormStorage::SetStoredProps(const QStringList &paths)
{
    entries_.clear();
    for (const QString &p : paths) entries_.push_back({p, nullptr, false});
}

void TFormStorage::ResolveStoredProps()
{
    for (auto i = static_cast<std::ptrdiff_t>(entries_.size()) - 1; i >= 0; --i) {
        Entry &e = entries_[static_cast<std::size_t>(i)];
        QString componentName, property;
        QObject *component = nullptr;
        if (SplitPropPath(e.path, componentName, property))
            component = e.bound ? e.component.data() : FindOwnedComponent(Form(), componentName);
        if (!component) {
            entries_.erase(entries_.begin() + i);
            continue;
        }
        e.component = component;
        e.bound = true;
        // Follows a renamed component; keys always use the name it has now.
        e.path = component->objectName() + u'.' + property;
    }
}

void TFormStorage::WriteStoredProps()
{
    ResolveStoredProps();
    TPropsStorage storage;
    storage.SetSectionName(IniSection());
    storage.SetOnWriteValue([this](const QString &s, const QString &k, const QString &v) { WriteIniString(s, k, v); });
    storage.SetOnClearSection([this](const QString &s) { EraseIniSection(s); });
    for (const Entry &e : entries_) {
        QString componentName, property;
        if (!e.component || !SplitPropPath(e.path, componentName, property)) continue;
        storage.SetTarget(e.component);
        storage.SetKeyPrefix(e.component->objectName() + u'_');
        const TPropInfoList list(e.component);
        if (const TPropInfo *info = list.Find(property)) storage.StoreProperty(*info);
    }
}

void TFormStorage::ReadStoredProps()
{
    ResolveStoredProps();
    TPropsStorage storage;
    storage.SetSectionName(IniSection());
    storage.SetOnReadValue([this](const QString &s, const QString &k, const QString &d) { return ReadIniString(s, k, d); });
    // Entries are copied: a control's change handler may edit the list while we walk it.
    const std::vector<Entry> entries = entries_;
    for (const Entry &e : entries) {
        try {
            QString componentName, property;
            if (!e.component || !SplitPropPath(e.path, componentName, property)) continue;
            storage.SetTarget(e.component);
            storage.SetKeyPrefix(e.component->objectName() + u'_');
            const TPropInfoList list(e.component);
            if (const TPropInfo *info = list.Find(property)) storage.LoadProperty(*info);
        } catch (...) {
            // One value that cannot be applied must not stop the others.
        }
    }
}

void TFormStorage::WritePlacementData()
{
    TFormPlacement::WritePlacementData();
    WriteStoredProps();
}

void TFormStorage::ReadPlacementData()
{
    TFormPlacement::ReadPlacementData();
    SetRestored(true);
    try {
        ReadStoredProps();
    } catch (...) {
        // A broken value never keeps the window from showing.
    }
}

}  // namespace trackmill
