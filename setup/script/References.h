// References from script fields to source files of the installation:
//   version reference  "@<file>"                the file's product version
//   icon reference     "<icon number>@<file>"   that small icon of the file
// A table collects the references of one look-up pass, finds each file
// through the script's source-disk sections (loose on the medium, or inside
// the cabinet a disk's tag file names) and reads every file once per kind
// (and icon number). Cabinet members are extracted to temporary files in
// the run's own folder (RunFolder.h) that are deleted, through a handle, as
// soon as they have been read. A version read by an earlier
// table of the run is taken from the run's memo (VersionMemo.h) while the
// file is unchanged: a cabinet is then not opened at all when no other
// entry needs it.
//
// Lifetime: create, add, resolve once, read, free. Freeing destroys the
// extracted icons; copies made of them (an image list) stay valid.
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <string>
#include <vector>

enum ReferenceKind { kIconReference = 1, kVersionReference = 2 };

struct ReferenceEntry
{
    std::string fileName;   // the name after the at sign
    std::string location;   // path of the file, or the name of its cabinet; empty until resolved
    int kind;               // ReferenceKind
    int loaded;             // 1 once the icon or version has been taken from the file
    int inCabinet;          // 1 when `location` names a cabinet
    int iconNumber;         // icons: the icon's number in the file
    int hasVersion;         // versions: 1 when `version` holds the file's product version
    std::string version;
    HICON icon;             // icons: the small icon (owned), null when the file has none
};

struct ReferenceTable
{
    std::vector<ReferenceEntry> entries;
};

// Null when memory runs out.
ReferenceTable* NewReferenceTable();

// Adds the icon reference in `field` unless the table has it (same file name
// without regard to case, same icon number). 0 when the field has no at sign.
int AddIconReference(ReferenceTable* table, const char* field);

// Adds the version reference in `field` unless the table has one of the same
// file. 0 when the field does not begin with an at sign.
int AddVersionReference(ReferenceTable* table, const char* field);

// Finds and reads the files of all entries not resolved yet. Files that
// cannot be found or read leave their entries without icon or version.
// Cabinet members are extracted to the run's folder (RunFolder.h), which is
// removed again before this returns. Always 1.
int ResolveReferences(ReferenceTable* table, HINF script);

// The icon or version the field refers to; null when there is none.
HICON IconOf(const ReferenceTable* table, const char* field);
const char* VersionOf(const ReferenceTable* table, const char* field);

void FreeReferenceTable(ReferenceTable* table);
