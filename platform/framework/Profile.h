#pragma once
// The user's profile: sections and entries under the company and application
// keys, kept by QSettings in the platform's native format.
#include <QString>

#include <memory>

class QSettings;

class CProfile {
public:
    CProfile(const QString& company, const QString& application);
    ~CProfile();

    QString GetString(const QString& section, const QString& entry, const QString& def = {}) const;
    bool WriteString(const QString& section, const QString& entry, const QString& value);
    int GetInt(const QString& section, const QString& entry, int def) const;
    bool WriteInt(const QString& section, const QString& entry, int value);
    void RemoveEntry(const QString& section, const QString& entry);
    QString FileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};
