// The records of the installation journal as text, one line each. Plain
// logic without windows.h, so it is tested on the host.
//
// A record is a tag and its fields, separated by tabs, ended by a line
// feed. Fields may hold any byte: a backslash, tab, carriage return or line
// feed in them is written as \\, \t, \r, \n. Binary registry data is a
// field of hexadecimal digits. A journal is read up to its last complete
// line: a record cut by a killed run was written before its change was
// made, so the change never happened and the record is dropped.
#pragma once

#include <string>
#include <vector>

enum class JournalTag {
    Begin,          // the run that writes the journal: its process id and start time
    FileCreated,    // path: the file did not exist; undo deletes it
    FileKept,       // path, copy: the file existed; undo puts the copy back
    FolderMade,     // path: undo removes it when empty
    KeyMade,        // root, key: the key did not exist; undo deletes it and what is below it
    ValueKept,      // root, key, name, type, hex data: undo writes it back
    ValueAbsent,    // root, key, name: undo deletes the value
    IniKept,        // file, section, entry, text: undo writes the text back
    IniAbsent,      // file, section, entry: undo deletes the entry
    ServiceCreated, // name: undo deletes the service
    ServiceKept,    // name, start type, binary path, display name: undo restores them
    ServiceStopped, // name: undo starts it again
    FirewallAdded,  // program: undo removes the entry
    ProgramRan,     // program: cannot be undone; noted in the logs
};

struct JournalRecord
{
    JournalTag tag = JournalTag::Begin;
    std::vector<std::string> fields;
};

// The line of `record`, with its line feed.
std::string JournalLine(const JournalRecord& record);

// The records of a journal's text; a line with an unknown tag or the wrong
// number of fields ends the reading (`*damaged` true), as does the text
// after the last line feed (a cut record, not damage).
std::vector<JournalRecord> ReadJournal(const std::string& text, bool* damaged);

// Bytes as lower-case hexadecimal digits, and back (false for text that is
// not pairs of hexadecimal digits).
std::string HexOf(const void* data, size_t size);
bool BytesOfHex(const std::string& hex, std::string* bytes);
