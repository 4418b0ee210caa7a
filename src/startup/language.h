// The language library: every user-visible text by numeric id, served by a language pack file `X.lng`.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace bdlogic {

class Language {
public:
    virtual ~Language() = default;
    // The text for `id` with %1 and %2 replaced by the values; nothing when the library has no such id.
    virtual std::optional<QString> loadres(int id, const QStringList& values = {}) const = 0;
};

// A library with no texts at all: every call fails, as when no library could be created.
inline std::optional<QString> loadres(const Language* language, int id, const QStringList& values = {}) {
    if (!language) return std::nullopt;
    return language->loadres(id, values);
}

class LanguagePack final : public Language {
public:
    // Reads a pack: UTF-8 lines ID=TEXT, "#" and ";" comments, "\n" for CR LF and "\\" for a backslash.
    // Lines that are not of that form are ignored. Nothing when the file cannot be read.
    static std::unique_ptr<LanguagePack> load(const QString& path);
    // A pack file's bytes: UTF-8, with or without byte order mark.
    static std::unique_ptr<LanguagePack> fromBytes(QByteArray bytes);
    static std::unique_ptr<LanguagePack> fromText(const QString& text);

    std::optional<QString> loadres(int id, const QStringList& values = {}) const override;
    qsizetype size() const { return texts_.size(); }

private:
    QHash<int, QString> texts_;
};

// Directories searched for packs, in order: each entry of CORVANE_LANGUAGE_PATH, <program dir>/lang,
// <program dir>/../share/bdlogic/lang.
QStringList LanguageSearchPath(const QString& programDir);

// Creates the library for a class name "X.LanguageDLL": the first X.lng found on the search path. Nothing for an
// empty X, another class form, or no such file.
std::unique_ptr<Language> CreateLanguageLibrary(const QString& className, const QStringList& searchPath);

} // namespace bdlogic
