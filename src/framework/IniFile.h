// TIniFile: a sectioned key-value text file ("profile file") with the
// semantics of the Windows private-profile functions.
//
// - Section and key names match without regard to letter case (Unicode case
//   folding); blanks around a name are ignored. Writing an existing section or
//   key keeps the spelling the file already has.
// - A value is the text after the first "=" of its line, blanks at both ends
//   removed; a value enclosed in a matching pair of double or single quotes
//   is read without them. A write encloses a value in double quotes when it
//   would not read back as itself otherwise (blanks at an end, or quotes
//   around it); every other value is written as it stands. Read values longer
//   than 2047 characters are cut to 2047 characters.
// - Integers are text converted by TryStrToInt; booleans are written "0"/"1"
//   and read as integers (non-zero is true). Text that does not convert, and a
//   missing key, give the caller's default.
// - Nothing is buffered: every read sees the file as it is, and every write
//   re-reads the file, changes that one value and replaces the file at once
//   (a temporary file in the same folder, then a rename; the file's permission
//   bits are kept). When no temporary file can be made there (the folder
//   takes no new entries) but the file itself may be written, it is rewritten
//   in place instead: space reserved first, then written, synced and cut to
//   its new length; a crash during that rewrite can leave it part old, part
//   new. Every other line - sections, keys, comments, lines that are
//   not understood - stays as it was, in its order and with its line end.
//   A missing key is added after the last non-blank line of its section, a
//   missing section at the end of the file. New lines take the line end of the
//   file's first line; a new file uses "\n".
// - The file is UTF-8; a leading byte-order mark is skipped and kept. Lines
//   ending in "\r\n" and in "\n" are both read. The first of several sections or
//   keys of the same name is the one read and written.
// - Reading a missing or unreadable file gives the defaults and never creates
//   the file. A write that cannot be stored raises
//   Exception("<full path> に書き込めません") from that call and leaves the old
//   file untouched: the file has no write permission bit at all (refused even
//   for the superuser), the path is a folder or a special file, the folder does
//   not exist or cannot be written, the file cannot be read back, is larger
//   than 64 MiB, or the name or value cannot be stored on one line (a line
//   break, "=" in a key, "]" in a section name); for those the message goes
//   on with ": " and the section, the key and what is wrong
//   ("[SET1] LIST03 の値に改行が含まれています").
#pragma once

#include <string>
#include <vector>

// The profile-file interface shared by TIniFile and TRegistryIniFile: each
// store supplies the text operations; integers and booleans are text on top.
class TCustomIniFile {
public:
    explicit TCustomIniFile(const std::string& fileName) : FFileName(fileName) {}
    virtual ~TCustomIniFile() = default;

    const std::string& FileName() const { return FFileName; }

    virtual std::string ReadString(const std::string& section, const std::string& ident,
                                   const std::string& def) const = 0;
    virtual void WriteString(const std::string& section, const std::string& ident,
                             const std::string& value) = 0;
    // The key names of the section, in file order (the list is cleared first).
    virtual void ReadSection(const std::string& section, std::vector<std::string>& idents) const = 0;
    // The section names, in file order (the list is cleared first).
    virtual void ReadSections(std::vector<std::string>& sections) const = 0;
    virtual bool ValueExists(const std::string& section, const std::string& ident) const = 0;
    // Removes every section of that name with its keys; nothing happens when
    // there is none.
    virtual void EraseSection(const std::string& section) = 0;
    // Removes the key from the section; nothing happens when it is not there.
    virtual void DeleteKey(const std::string& section, const std::string& ident) = 0;
    // Writes already reached the store; nothing is left to flush.
    virtual void UpdateFile() {}

    // Text converted by TryStrToInt; what does not convert gives the default.
    int ReadInteger(const std::string& section, const std::string& ident, int def) const;
    // An integer, non-zero being true.
    bool ReadBool(const std::string& section, const std::string& ident, bool def) const;
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    // "1" or "0".
    void WriteBool(const std::string& section, const std::string& ident, bool value);
    // True when the section holds at least one key.
    bool SectionExists(const std::string& section) const;

private:
    std::string FFileName;
};

class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const std::string& fileName) : TCustomIniFile(fileName) {}

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& def) const override;
    void WriteString(const std::string& section, const std::string& ident,
                     const std::string& value) override;
    void ReadSection(const std::string& section, std::vector<std::string>& idents) const override;
    void ReadSections(std::vector<std::string>& sections) const override;
    bool ValueExists(const std::string& section, const std::string& ident) const override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
};
