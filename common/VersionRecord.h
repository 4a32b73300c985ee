#pragma once

// The version record that each program carries in place of a version
// resource. The build generates it (vorn_add_version_record in
// cmake/VornVersionRecord.cmake) and exports it under the symbol named
// VORN_VERSION_RECORD_SYMBOL, where CVersion finds it at run time. Texts are
// UTF-8; a null text reads as empty. Plain C layout, so that a record is
// read the same way whichever compiler built the program.

#define VORN_VERSION_RECORD_SYMBOL "vorn_version_record"
#define VORN_VERSION_RECORD_LAYOUT 1u

extern "C" {

struct VornVersionRecord {
    unsigned int layout;                   // VORN_VERSION_RECORD_LAYOUT
    unsigned short fileVersionParts[4];    // major, minor, release, build
    unsigned short productVersionParts[4]; // major, minor, release, build
    unsigned short language;               // e.g. 0x0411
    unsigned short codePage;               // e.g. 1200
    const char* companyName;
    const char* legalCopyright;
    const char* productName;
    const char* productVersion;
    const char* originalFileName;
    const char* fileDescription;
    const char* fileVersion;
    const char* internalName;
};
}
