// Turns properties of Qt objects into INI values and back. A property is named as it
// is declared for the settings: Qt's name with an upper-case first letter ("checked"
// becomes "Checked", "text" becomes "Text"); a dynamic property keeps its own spelling
// apart from that first letter ("Tag"). Keys are "<object name>_<declared name>".
#pragma once

#include <QByteArray>
#include <QMetaEnum>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QObject;

namespace trackmill {

// How a value is turned into text: integers in decimal, Booleans and enumerations by
// value name, sets as "[a,b]", floating point with ".", text unchanged.
enum class TPropKind { Integer, Char, Enumeration, Float, String, Set, Int64, Other };

struct TPropInfo {
    QString name;       // the declared name used in paths and keys
    QByteArray qtName;  // the name Qt's property system knows
    TPropKind kind = TPropKind::Other;
    bool isBoolean = false;
    QMetaEnum enumerator;  // enumerations and sets
};

// The properties of one object: its class's properties, then its dynamic ones.
class TPropInfoList {
public:
    explicit TPropInfoList(const QObject *object);
    int Count() const { return static_cast<int>(items_.size()); }
    const TPropInfo &Items(int index) const { return items_[static_cast<std::size_t>(index)]; }
    // The first property whose declared name matches without regard to ASCII case.
    const TPropInfo *Find(const QString &name) const;

private:
    std::vector<TPropInfo> items_;
};

QString DeclaredPropertyName(const QByteArray &qtName);

// Removes characters up to and including the blank at both ends.
QString TrimBlanks(const QString &text);

// "Edit1.Text" -> "Edit1", "Text"; blanks around each half removed. False when there is
// no point or a half is empty.
bool SplitPropPath(const QString &path, QString &component, QString &property);

// A descendant of owner with that object name: the exact spelling first, else the first
// one that matches without regard to case.
QObject *FindOwnedComponent(const QObject *owner, const QString &name);

class TPropsStorage {
public:
    using ReadValueHandler = std::function<QString(const QString &section, const QString &key, const QString &defaultValue)>;
    using WriteValueHandler = std::function<void(const QString &section, const QString &key, const QString &value)>;
    using ClearSectionHandler = std::function<void(const QString &section)>;

    TPropsStorage() = default;
    virtual ~TPropsStorage() = default;

    void SetTarget(QObject *target) { target_ = target; }
    void SetKeyPrefix(const QString &prefix) { keyPrefix_ = prefix; }
    void SetSectionName(const QString &section) { section_ = section; }
    void SetOnReadValue(ReadValueHandler handler) { onRead_ = std::move(handler); }
    void SetOnWriteValue(WriteValueHandler handler) { onWrite_ = std::move(handler); }
    void SetOnClearSection(ClearSectionHandler handler) { onClear_ = std::move(handler); }

    virtual QString ReadString(const QString &section, const QString &key, const QString &defaultValue);
    virtual void WriteString(const QString &section, const QString &key, const QString &value);
    virtual void EraseSection(const QString &section);
    virtual QString KeyFor(const QString &propertyName) const { return keyPrefix_ + propertyName; }

    // Writes the listed "Component.Property" values of components owned by owner, in
    // list order. Paths naming no component or property are skipped. Write errors
    // propagate (the save reports them).
    void StoreComponentProps(QObject *owner, const QStringList &paths);
    // Reads and applies them; a failure in one property is swallowed and the next is read.
    void LoadComponentProps(QObject *owner, const QStringList &paths);

    // One property of Target.
    void StoreProperty(const TPropInfo &info);
    void LoadProperty(const TPropInfo &info);

    // The value of a property as the INI holds it; empty when it has no text form.
    static QString PropertyText(const QObject *object, const TPropInfo &info);
    // Sets a property from INI text by its kind; an equal value is not set again, so
    // the object's change signals only fire for a real change.
    static void ApplyPropertyText(QObject *object, const TPropInfo &info, const QString &text);

private:
    QObject *BeginComponent(QObject *owner, const QString &path, QString &property);

    QObject *target_ = nullptr;
    QString keyPrefix_;
    QString section_;
    ReadValueHandler onRead_;
    WriteValueHandler onWrite_;
    ClearSectionHandler onClear_;
};

}  // namespace trackmill
