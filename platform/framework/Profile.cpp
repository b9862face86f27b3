#include "platform/framework/Profile.h"

#include <QSettings>

namespace {
QString Key(const QString& section, const QString& entry) {
    return section + QLatin1Char('/') + entry;
}
} // namespace

CProfile::CProfile(const QString& company, const QString& application)
    : m_settings(std::make_unique<QSettings>(company, application)) {}

CProfile::~CProfile() = default;

QString CProfile::GetString(const QString& section, const QString& entry,
                            const QString& def) const {
    return m_settings->value(Key(section, entry), def).toString();
}

// What is there already is not written again (start-up writes the same folder every time).
bool CProfile::WriteString(const QString& section, const QString& entry, const QString& value) {
    const QVariant old = m_settings->value(Key(section, entry));
    if (old.typeId() == QMetaType::QString && old.toString() == value)
        return m_settings->status() == QSettings::NoError;
    m_settings->setValue(Key(section, entry), value);
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

int CProfile::GetInt(const QString& section, const QString& entry, int def) const {
    bool ok = false;
    const int v = m_settings->value(Key(section, entry), def).toInt(&ok);
    return ok ? v : def;
}

bool CProfile::WriteInt(const QString& section, const QString& entry, int value) {
    m_settings->setValue(Key(section, entry), value);
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

void CProfile::RemoveEntry(const QString& section, const QString& entry) {
    m_settings->remove(Key(section, entry));
    m_settings->sync();
}

QString CProfile::FileName() const {
    return m_settings->fileName();
}
