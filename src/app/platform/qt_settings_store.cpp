#include "app/platform/qt_settings_store.h"

#include "app/app_texts.h"
#include "app/platform/qt_text.h"

namespace brevo::app {

QtSettingsStore::QtSettingsStore(const QString& programName)
    : settings_(QSettings::NativeFormat, QSettings::UserScope,
                QString::fromLatin1(text::kSettingsOrganisation),
                QString::fromLatin1(text::kCaption)),
      programName_(programName) {}

QString QtSettingsStore::keyOf(const std::string& section, const std::string& key) const {
    return programName_ + QLatin1Char('/') + QString::fromStdString(section) + QLatin1Char('/') +
           QString::fromStdString(key);
}

std::optional<int> QtSettingsStore::readInt(const std::string& section, const std::string& key) {
    const QVariant value = settings_.value(keyOf(section, key));
    if (!value.isValid()) return std::nullopt;
    bool ok = false;
    // A settings file keeps every value as text: a number must read as one, nothing more.
    const int number = value.typeId() == QMetaType::QString ? value.toString().trimmed().toInt(&ok)
                                                            : value.toInt(&ok);
    if (!ok) return std::nullopt;
    return number;
}

std::optional<std::string> QtSettingsStore::readString(const std::string& section,
                                                       const std::string& key) {
    const QVariant value = settings_.value(keyOf(section, key));
    if (!value.isValid() || !value.canConvert<QString>()) return std::nullopt;
    return toPath(value.toString());
}

void QtSettingsStore::writeInt(const std::string& section, const std::string& key, int value) {
    settings_.setValue(keyOf(section, key), value);
}

void QtSettingsStore::writeString(const std::string& section, const std::string& key,
                                  const std::string& value) {
    settings_.setValue(keyOf(section, key), fromPath(value));
}

void QtSettingsStore::flush() {
    settings_.sync();
}

}  // namespace brevo::app
