#include "settings/PropsStorage.h"

#include <QLocale>
#include <QMetaProperty>
#include <QObject>
#include <QRegularExpression>
#include <QVariant>

#include <algorithm>
#include <climits>
#include <utility>

namespace trackmill {

namespace {

TPropKind KindOf(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Bool:
        return TPropKind::Enumeration;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return TPropKind::Integer;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return TPropKind::Int64;
    case QMetaType::Double:
    case QMetaType::Float:
        return TPropKind::Float;
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return TPropKind::String;
    case QMetaType::QChar:
    case QMetaType::Char:
        return TPropKind::Char;
    default:
        return TPropKind::Other;
    }
}

bool SameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Enumeration values from the lowest to the highest, so the first matching name wins
// in a fixed order.
std::vector<std::pair<int, QString>> SortedKeys(const QMetaEnum &e)
{
    std::vector<std::pair<int, QString>> keys;
    for (int i = 0; i < e.keyCount(); ++i) keys.emplace_back(e.value(i), QString::fromLatin1(e.key(i)));
    std::stable_sort(keys.begin(), keys.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    return keys;
}

bool IsSingleBit(int v) { return v != 0 && (v & (v - 1)) == 0; }

// The new value for the property, or an invalid variant when the text leaves it unchanged.
QVariant ValueFromText(const TPropInfo &info, const QVariant &current, const QString &text)
{
    switch (info.kind) {
    case TPropKind::Integer: {
        bool ok = false;
        const qlonglong v = text.toLongLong(&ok, 10);
        const bool isUnsigned = current.metaType().id() == QMetaType::UInt || current.metaType().id() == QMetaType::ULong;
        const qlonglong lo = isUnsigned ? 0 : INT_MIN, hi = isUnsigned ? qlonglong(UINT_MAX) : INT_MAX;
        return QVariant(ok && v >= lo && v <= hi ? v : 0);
    }
    case TPropKind::Int64: {
        bool ok = false;
        if (current.metaType().id() == QMetaType::ULongLong) {
            const qulonglong v = text.toULongLong(&ok, 10);
            return QVariant(ok ? v : 0ull);
        }
        const qlonglong v = text.toLongLong(&ok, 10);
        return QVariant(ok ? v : 0ll);
    }
    case TPropKind::Char:
        return text.isEmpty() ? QVariant() : QVariant(text.front());
    case TPropKind::Enumeration:
        if (info.isBoolean) {
            if (SameName(text, QStringLiteral("False"))) return QVariant(false);
            if (SameName(text, QStringLiteral("True"))) return QVariant(true);
            return {};
        }
        for (const auto &[value, key] : SortedKeys(info.enumerator))
            if (SameName(text, key)) return QVariant(value);
        return {};
    case TPropKind::Set: {
        static const QRegularExpression separators(QStringLiteral("[\\s,\\[\\]]"));
        int bits = 0;
        const auto keys = SortedKeys(info.enumerator);
        for (const QString &member : text.split(separators, Qt::SkipEmptyParts))
            for (const auto &[value, key] : keys)
                if (SameName(member, key)) {
                    bits |= value;
                    break;
                }
        return QVariant(bits);
    }
    case TPropKind::Float: {
        bool ok = false;
        const double v = QLocale::c().toDouble(text, &ok);
        return ok ? QVariant(v) : QVariant();
    }
    case TPropKind::String:
        return current.metaType().id() == QMetaType::QByteArray ? QVariant(text.toUtf8()) : QVariant(text);
    case TPropKind::Other:
        break;
    }
    return {};
}

}  // namespace

QString DeclaredPropertyName(const QByteArray &qtName)
{
    QString name = QString::fromLatin1(qtName);
    if (!name.isEmpty()) name[0] = name[0].toUpper();
    return name;
}

TPropInfoList::TPropInfoList(const QObject *object)
{
    if (!object) return;
    const QMetaObject *meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        TPropInfo info;
        info.qtName = p.name();
        info.name = DeclaredPropertyName(info.qtName);
        if (p.isEnumType()) {
            info.enumerator = p.enumerator();
            info.kind = p.isFlagType() ? TPropKind::Set : TPropKind::Enumeration;
        } else {
            info.kind = KindOf(p.metaType());
            info.isBoolean = p.metaType().id() == QMetaType::Bool;
        }
        items_.push_back(std::move(info));
    }
    for (const QByteArray &name : object->dynamicPropertyNames()) {
        if (name.startsWith("_q_")) continue;  // Qt's own bookkeeping
        const QVariant value = object->property(name.constData());
        TPropInfo info;
        info.qtName = name;
        info.name = DeclaredPropertyName(name);
        info.kind = KindOf(value.metaType());
        info.isBoolean = value.metaType().id() == QMetaType::Bool;
        items_.push_back(std::move(info));
    }
}

const TPropInfo *TPropInfoList::Find(const QString &name) const
{
    for (const TPropInfo &info : items_)
        if (SameName(info.name, name)) return &info;
    return nullptr;
}

QString TrimBlanks(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= u' ') ++begin;
    while (end > begin && text[end - 1].unicode() <= u' ') --end;
    return text.mid(begin, end - begin);
}

bool SplitPropPath(const QString &path, QString &component, QString &property)
{
    const qsizetype dot = path.indexOf(u'.');
    if (dot < 0) return false;
    component = TrimBlanks(path.left(dot));
    property = TrimBlanks(path.mid(dot + 1));
    return !component.isEmpty() && !property.isEmpty();
}

QObject *FindOwnedComponent(const QObject *owner, const QString &name)
{
    if (!owner || name.isEmpty()) return nullptr;
    const QList<QObject *> all = owner->findChildren<QObject *>();
    for (QObject *o : all)
        if (o->objectName() == name) return o;
    for (QObject *o : all)
        if (SameName(o->objectName(), name)) return o;
    return nullptr;
}

QString TPropsStorage::ReadString(const QString &section, const QString &key, const QString &defaultValue)
{
    return onRead_ ? onRead_(section, key, defaultValue) : QString();
}

void TPropsStorage::WriteString(const QString &section, const QString &key, const QString &value)
{
    if (onWrite_) onWrite_(section, key, value);
}

void TPropsStorage::EraseSection(const QString &section)
{
    if (onClear_) onClear_(section);
}

QString TPropsStorage::PropertyText(const QObject *object, const TPropInfo &info)
{
    if (!object) return {};
    const QVariant v = object->property(info.qtName.constData());
    if (!v.isValid()) return {};
    switch (info.kind) {
    case TPropKind::Integer:
    case TPropKind::Int64:
        return v.metaType().id() == QMetaType::ULongLong ? QString::number(v.toULongLong()) : QString::number(v.toLongLong());
    case TPropKind::Char:
        return v.toString();
    case TPropKind::Enumeration:
        if (info.isBoolean) return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return QString::fromLatin1(info.enumerator.valueToKey(v.toInt()));
    case TPropKind::Set: {
        const int bits = v.toInt();
        QStringList members;
        int named = 0;  // aliases (AlignTrailing for AlignRight) name a member only once
        for (int i = 0; i < info.enumerator.keyCount(); ++i) {
            const int value = info.enumerator.value(i);
            if (IsSingleBit(value) && (bits & value) == value && (named & value) == 0) {
                members << QString::fromLatin1(info.enumerator.key(i));
                named |= value;
            }
        }
        return u'[' + members.join(u',') + u']';
    }
    case TPropKind::Float:
        return QString::number(v.toDouble(), 'g', 15);
    case TPropKind::String:
        return v.metaType().id() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
    case TPropKind::Other:
        break;
    }
    return {};
}

void TPropsStorage::ApplyPropertyText(QObject *object, const TPropInfo &info, const QString &text)
{
    if (!object) return;
    const QVariant current = object->property(info.qtName.constData());
    QVariant next = ValueFromText(info, current, text);
    if (!next.isValid()) return;
    if (current.isValid() && next.metaType() != current.metaType()) {
        QVariant converted = next;
        // Enumerations may refuse the conversion from int; Qt's setter takes the int then.
        if (converted.convert(current.metaType())) next = converted;
    }
    if (current.isValid() && next == current) return;
    if ((info.kind == TPropKind::Enumeration || info.kind == TPropKind::Set) && !info.isBoolean &&
        current.toInt() == next.toInt())
        return;
    object->setProperty(info.qtName.constData(), next);
}

void TPropsStorage::StoreProperty(const TPropInfo &info)
{
    if (info.kind == TPropKind::Other) return;
    const QString text = PropertyText(target_, info);
    // Only text kinds may store an empty value; for the others it means "no text form".
    if (text.isEmpty() && info.kind != TPropKind::String && info.kind != TPropKind::Char) return;
    WriteString(section_, KeyFor(info.name), TrimBlanks(text));
}

void TPropsStorage::LoadProperty(const TPropInfo &info)
{
    if (info.kind == TPropKind::Other) return;
    const QString current = PropertyText(target_, info);
    QString text;
    if (!current.isEmpty() || info.kind == TPropKind::String || info.kind == TPropKind::Char)
        text = TrimBlanks(ReadString(section_, KeyFor(info.name), current));
    ApplyPropertyText(target_, info, text);
}

QObject *TPropsStorage::BeginComponent(QObject *owner, const QString &path, QString &property)
{
    QString componentName;
    if (!SplitPropPath(path, componentName, property)) return nullptr;
    QObject *component = FindOwnedComponent(owner, componentName);
    if (!component) return nullptr;
    target_ = component;
    keyPrefix_ = component->objectName() + u'_';
    return component;
}

void TPropsStorage::StoreComponentProps(QObject *owner, const QStringList &paths)
{
    for (const QString &path : paths) {
        QString property;
        QObject *component = BeginComponent(owner, path, property);
        if (!component) continue;
        const TPropInfoList list(component);
        if (const TPropInfo *info = list.Find(property)) StoreProperty(*info);
    }
}

void TPropsStorage::LoadComponentProps(QObject *owner, const QStringList &paths)
{
    for (const QString &path : paths) {
        try {
            QString property;
            QObject *component = BeginComponent(owner, path, property);
            if (!component) continue;
            const TPropInfoList list(component);
            if (const TPropInfo *info = list.Find(property)) LoadProperty(*info);
        } catch (...) {
            // One value that cannot be applied must not stop the others.
        }
    }
}

}  // namespace trackmill
