#pragma once

#include "WinTypes.h"

#include <QByteArray>

#include <cstddef>
#include <optional>

namespace vorn::checker {

// Report templates: each line "label,type,length,count" prints its label and
// then the next bytes of a device image in the type's number format. The
// layout of a report is data; this file only knows the five types.

enum class TemplateFieldType { Word, Dword, Int64, Char, Byte, Unknown };

struct TemplateLine {
    QByteArray label;       // everything before the first ","
    TemplateFieldType type; // "WORD", "DWORD", "INT64", "CHAR", "BYTE", compared exactly
    int length;             // used by CHAR only
    int count;              // used by every type but CHAR
};

// Splits one template line (its line feed may still be attached). A line
// with fewer than three commas, an empty one included, gives no value.
std::optional<TemplateLine> ParseTemplateLine(const QByteArray& line);

// Bytes of the image the line asks for: 0 for unknown types and for a length
// or count of 0 or less. 64-bit, so absurd counts cannot overflow.
long long TemplateLineSize(const TemplateLine& line);

struct ReportExpansion {
    QByteArray report;        // the report file's bytes, lines ending in CR LF
    long long bytesRequested; // sum of TemplateLineSize over the lines expanded
    int linesExpanded;
    bool endedEarly; // a line with fewer than three commas stopped it
};

// Walks the template over the image and produces the report. The template
// is taken as a text-mode read would see it (CR LF is one line feed, a line
// is at most 1023 bytes, the rest of a longer one is the next line) and the
// report as a text-mode write would store it (every line feed, also one
// inside CHAR data, becomes CR LF). Values are read only inside the image:
// once a value no longer fits, the line prints no further values, and later
// lines print only their labels.
ReportExpansion ExpandReportTemplate(const QByteArray& templateFile, const BYTE* image,
                                     std::size_t imageSize);

} // namespace vorn::checker
