#pragma once
// vornconf.ini: departments with their posts, and the four audience groups.
//
// An initialisation file of the usual syntax ("[section]", "key=value"),
// section and key names compared without regard to ASCII letter case, bytes
// in GB18030. A missing file, section or key reads as the default; the first
// write creates the file. Every operation reads the file afresh, once.
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// One department of the tree with its posts, in tree order.
struct DepartmentNode
{
    QString name;
    QStringList posts;
    bool operator==(const DepartmentNode &) const = default;
};
using DepartmentTree = QList<DepartmentNode>;

// Audience groups 1 to 4; an empty text is an empty slot.
using AudienceGroups = std::array<QString, 4>;

class SettingsFile
{
public:
    // The default is vornconf.ini in the current working directory.
    explicit SettingsFile(QString path = defaultPath());
    static QString defaultPath();
    const QString &path() const { return m_path; }

    // What a missing department or post name reads as.
    static QString notFound();
    // A string value read is cut to this many GB18030 bytes (never inside a character).
    static constexpr int MaxValueBytes = 259;
    // Counts read above this are taken as this, so a damaged count cannot
    // make millions of entries.
    static constexpr int MaxCount = 10000;

    QStringList readDepartmentNames() const;
    // Posts of the department at the 0-based position; -1 (nothing chosen) gives none.
    QStringList readPostNames(int position) const;
    // Departments and their posts in one read, for the settings screen.
    DepartmentTree readDepartmentTree() const;
    AudienceGroups readAudienceGroups() const;
    // The audience groups a list offers: the non-empty slots in order.
    QStringList audienceGroupList() const;

    // Replaces the department catalogue by the tree. False when the file could
    // not be written (a full disk, no permission); the old file then stays
    // whole and *error says why, in Chinese.
    bool writeDepartmentTree(const DepartmentTree &tree, QString *error = nullptr) const;
    // Stores changed slots; a slot after an empty group 2 or 3 is emptied.
    bool writeAudienceGroups(const AudienceGroups &groups, QString *error = nullptr) const;

    // The single-value operations the catalogues are built on.
    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    int readInt(const QString &section, const QString &key, int defaultValue) const;
    bool writeString(const QString &section, const QString &key, const QString &value,
                     QString *error = nullptr) const;
    bool deleteSection(const QString &section, QString *error = nullptr) const;

private:
    QString m_path;
};
