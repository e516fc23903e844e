#pragma once

#include <QString>

namespace platform::profile {

// Windows profile (INI) files as the program's neighbours write them. Reading a missing file
// or key gives the default. Writing changes only the one key's line (or adds it), keeping every
// other line, comment, blank and line end of the file byte for byte.
class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}
    const QString& path() const { return path_; }

    // Throws std::runtime_error when the file exists but cannot be read.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = {}) const;
    // Throws std::runtime_error when the file cannot be written. Creates it when missing.
    void writeString(const QString& section, const QString& key, const QString& value) const;

private:
    QString path_;
};

}  // namespace platform::profile
