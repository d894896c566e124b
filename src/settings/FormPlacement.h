// Keeps a window's position, and with TFormStorage a list of its controls' property
// values, in an INI file: restored when the window is shown, saved when it closes (or,
// failing that, when it is destroyed).
//
// Use on a main window:
//     auto *storage = new TFormStorage(this);          // in the constructor, owned by the window
//     storage->SetIniSection("Default");
//     storage->SetOptions(fpPosition);
//     storage->SetStoredProps({"cbApetag.Checked", "Edit1.Text", "ComboID3.Tag"});
//     storage->SetOnRestorePlacement([this](TFormPlacement *) { ... });
//     storage->SetIniFileName(SettingsFilePath());      // before the first show
// Paths name a descendant of the window by object name and one of its properties
// (see PropsStorage.h); a value such as a combo box's "Tag" can be a dynamic property.
#pragma once

#include "config/ProfileFile.h"

#include <QFlags>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QCloseEvent;
class QWidget;

namespace trackmill {

enum TPlacementOption {
    fpState = 0x1,          // the show state; not restored by this build
    fpPosition = 0x2,       // position and size
    fpActiveControl = 0x4,  // the focused control; not stored by this build
};
Q_DECLARE_FLAGS(TPlacementOptions, TPlacementOption)

inline constexpr auto kKeyVisible = "Visible";

class TFormPlacement : public QObject {
    Q_OBJECT
public:
    using PlacementEvent = std::function<void(TFormPlacement *sender)>;

    // Attaches to the window's show, close and destroy; the window owns the placement.
    explicit TFormPlacement(QWidget *owner);
    ~TFormPlacement() override;

    QWidget *Form() const { return form_; }

    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    // Empty means DefaultIniFileName() / DefaultIniSection(); the getters give the name in use.
    QString IniFileName() const;
    void SetIniFileName(const QString &fileName) { iniFileName_ = fileName; }
    QString IniSection() const;
    void SetIniSection(const QString &section) { iniSection_ = section; }
    TPlacementOptions Options() const { return options_; }
    void SetOptions(TPlacementOptions options) { options_ = options; }

    bool Saved() const { return saved_; }
    bool Restored() const { return restored_; }
    bool Destroying() const { return destroying_; }

    void SetOnSavePlacement(PlacementEvent handler) { onSave_ = std::move(handler); }
    void SetOnRestorePlacement(PlacementEvent handler) { onRestore_ = std::move(handler); }

    // Both throw EIniFileException when the file cannot be written.
    void SaveSettings();
    void RestoreSettings();

    // Nested opens share one INI object; it goes away at the matching last close.
    void OpenIni();
    void CloseIni();
    TIniFile *IniFile() const { return ini_.get(); }

    virtual QString ReadIniString(const QString &section, const QString &key, const QString &defaultValue);
    virtual void WriteIniString(const QString &section, const QString &key, const QString &value);
    void EraseIniSection(const QString &section);

    // Linux window managers place maximised windows themselves; kept for the restore order.
    void UpdateMaxPosition();

protected:
    virtual void WritePlacementData();
    virtual void ReadPlacementData();
    virtual void FireSavePlacement();
    virtual void FireRestorePlacement();

    void HandleFormShow();
    void HandleFormCloseQuery(QCloseEvent *event);
    void HandleFormDestroy();

    bool eventFilter(QObject *watched, QEvent *event) override;

    void SetRestored(bool restored) { restored_ = restored; }

private:
    class IniScope;

    QWidget *form_;
    QString formClassName_;
    QString iniFileName_;
    QString iniSection_;
    bool active_ = true;
    TPlacementOptions options_ = TPlacementOptions(fpState) | fpPosition;
    std::unique_ptr<TIniFile> ini_;
    int iniOpenCount_ = 0;
    bool saved_ = false;
    bool restored_ = false;
    bool destroying_ = false;
    PlacementEvent onSave_;
    PlacementEvent onRestore_;
};

class TFormStorage : public TFormPlacement {
    Q_OBJECT
public:
    explicit TFormStorage(QWidget *owner);

    // "Component.Property" paths, in the order their keys are written.
    QStringList StoredProps() const;
    // Entries are bound to components at the next ResolveStoredProps (or save/restore),
    // so the list can be set before the controls exist.
    void SetStoredProps(const QStringList &paths);
    // Binds each entry to the window's component of that name and drops entries
    // without a point, with an empty half, or naming no component (or one that is gone).
    void ResolveStoredProps();

    virtual void WriteStoredProps();
    virtual void ReadStoredProps();

protected:
    void WritePlacementData() override;
    void ReadPlacementData() override;

private:
    struct Entry {
        QString path;
        QPointer<QObject> component;
        bool bound = false;
    };
    std::vector<Entry> entries_;
};

}  // namespace trackmill

Q_DECLARE_OPERATORS_FOR_FLAGS(trackmill::TPlacementOptions)
