#include "settings/Registry.h"

#include "platform/NumberText.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <limits>

namespace corvale {

std::unique_ptr<QSettings> OpenRegistry() {
    auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                QStringLiteral("Corvale"), QStringLiteral("Corvale2"));
    // The registry had one application key; an organisation-wide Corvale.ini
    // or a file under /etc/xdg must not leak values into it.
    settings->setFallbacksEnabled(false);
    return settings;
}

namespace {

// The 32 bits of a stored integer, or false when the value is absent or is no
// integer a DWORD or an int could hold.
bool ReadRegistryBits(const QSettings& settings, const QString& name, std::uint32_t& bits) {
    if (!settings.contains(name))
        return false;
    const QVariant value = settings.value(name);
    std::int64_t number = 0;
    switch (value.typeId()) {
    case QMetaType::QString:
        if (!ParseInt64(value.toString().toStdString(), number))
            return false;
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        bool ok = false;
        number = value.toLongLong(&ok);
        if (!ok)
            return false;
        break;
    }
    default:
        return false;
    }
    if (number < std::numeric_limits<std::int32_t>::min() || number > std::numeric_limits<std::uint32_t>::max())
        return false;
    bits = static_cast<std::uint32_t>(number);
    return true;
}

} // namespace

int ReadRegistryInt(const QSettings& settings, const QString& name, int defaultValue) {
    std::uint32_t bits = 0;
    if (!ReadRegistryBits(settings, name, bits))
        return defaultValue;
    return static_cast<std::int32_t>(bits);
}

std::uint32_t ReadRegistryU32(const QSettings& settings, const QString& name, std::uint32_t defaultValue) {
    std::uint32_t bits = 0;
    if (!ReadRegistryBits(settings, name, bits))
        return defaultValue;
    return bits;
}

std::string ReadRegistryString(const QSettings& settings, const QString& name, const std::string& defaultValue) {
    if (!settings.contains(name))
        return defaultValue;
    const QVariant value = settings.value(name);
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString().toStdString();
    case QMetaType::QStringList:
        // "X: <X>, Y: <Y>" typed into the file without quotes.
        return value.toStringList().join(QStringLiteral(", ")).toStdString();
    default:
        return defaultValue;
    }
}

void WriteRegistryInt(QSettings& settings, const QString& name, int value) { settings.setValue(name, value); }

void WriteRegistryU32(QSettings& settings, const QString& name, std::uint32_t value) {
    settings.setValue(name, static_cast<uint>(value));
}

void WriteRegistryString(QSettings& settings, const QString& name, const std::string& value) {
    settings.setValue(name, QString::fromStdString(value));
}

QString EncodeRegistryValueName(const std::string& name) {
    if (name.empty())
        return QStringLiteral("%");
    const QString text = QString::fromStdString(name);
    QString key;
    key.reserve(text.size());
    for (QChar c : text) {
        if (c == u'%')
            key += QStringLiteral("%25");
        else if (c == u'/')
            key += QStringLiteral("%2F");
        else if (c == u'\\')
            key += QStringLiteral("%5C");
        else
            key += c;
    }
    return key;
}

std::string DecodeRegistryValueName(const QString& key) {
    if (key == QStringLiteral("%"))
        return std::string();
    QString name;
    name.reserve(key.size());
    for (qsizetype i = 0; i < key.size(); ++i) {
        if (key[i] == u'%' && i + 2 < key.size()) {
            const QString code = key.mid(i + 1, 2).toUpper();
            if (code == QStringLiteral("25")) {
                name += u'%';
                i += 2;
                continue;
            }
            if (code == QStringLiteral("2F")) {
                name += u'/';
                i += 2;
                continue;
            }
            if (code == QStringLiteral("5C")) {
                name += u'\\';
                i += 2;
                continue;
            }
        }
        name += key[i];
    }
    return name.toStdString();
}

} // namespace corvale
