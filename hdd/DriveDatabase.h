#pragma once

#include "DriveKnowledge.h"
#include "DrivePresets.h"
#include "VornHddExport.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// The drive database of the system's S.M.A.R.T. tools, read from its text:
// a C array of entries { family, model expression, firmware expression,
// warning, presets }, each a string literal or several that C joins. The
// parser does no I/O; DriveKnowledge.cpp decides which file it reads.
namespace vorn::hdd {

// Receives one line per entry that is left out, and nothing else.
using DriveDatabaseLog = std::function<void(const QString& line)>;

struct DriveDatabaseEntry {
    int line = 0; // where the entry starts, for the log
    QByteArray family;
    QByteArray modelPattern;
    QByteArray firmwarePattern; // empty: any firmware
    QByteArray warning;
    QByteArray presets; // parsed when the entry is first matched
};

class PosixRegex;

class VORNHDD_API DriveDatabase {
public:
    DriveDatabase(std::vector<DriveDatabaseEntry> entries, QByteArray defaultPresets,
                  DriveDatabaseLog log);
    ~DriveDatabase();
    DriveDatabase(const DriveDatabase&) = delete;
    DriveDatabase& operator=(const DriveDatabase&) = delete;

    // The drive entries in table order (not the DEFAULT, VERSION or USB ones).
    const std::vector<DriveDatabaseEntry>& entries() const { return m_entries; }

    // The index of the first entry whose model expression matches the whole
    // model and whose firmware expression, when it has one, the whole
    // firmware; -1 when none does. An entry whose expressions or presets are
    // malformed is passed over (and logged once). Safe from any thread.
    int match(const QString& model, const QString& firmware) const;

    // What the database says of this drive: the DEFAULT entry's presets
    // under the matching entry's own.
    DriveKnowledge knowledge(const QString& model, const QString& firmware,
                             DriveMedium medium) const;

private:
    struct Compiled;
    bool entryMatches(std::size_t index, const QByteArray& model, const QByteArray& firmware) const;
    const DrivePresets* presetsOf(std::size_t index) const;

    std::vector<DriveDatabaseEntry> m_entries;
    QByteArray m_defaultPresetText;
    DriveDatabaseLog m_log;

    mutable std::mutex m_mutex; // guards what lookups compile and cache
    mutable std::vector<Compiled> m_compiled;
    mutable std::unique_ptr<DrivePresets> m_defaults;
    mutable bool m_defaultsParsed = false;
};

// Reads the database text. An entry that is not five strings (or its
// family, model and presets not text) is left out with one line to log;
// the DEFAULT entry's presets become the defaults, VERSION entries, USB
// bridge entries and those whose family starts with '$' are left out.
VORNHDD_API std::shared_ptr<const DriveDatabase> parseDriveDatabase(const QByteArray& text,
                                                                    const DriveDatabaseLog& log);

// Builds the knowledge from the default presets (null when there are none)
// and a matching entry's own (null when no entry matched). Public for the
// built-in table, which is a set of defaults of its own.
VORNHDD_API DriveKnowledge knowledgeFromPresets(const DrivePresets* defaults,
                                                const DrivePresets* entry, DriveMedium medium);

} // namespace vorn::hdd
