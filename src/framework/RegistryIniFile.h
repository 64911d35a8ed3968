// TRegistryIniFile: the per-user registry key store, with the interface of
// TIniFile. A key below the user's root ("Software\Pictal\History") holds
// subkeys, which are the sections here, and those hold named values, which are
// the keys here.
//
// Store layout: each key is one profile file (see TIniFile) under the user's
// XDG configuration folder,
//     <config>/Pictal/registry/<component>/<component>/.../<last component>.ini
// where the components are the key's parts between "\" (one leading "\" and
// every trailing "\" are ignored; the user's root itself is
// <config>/Pictal/registry/.ini). Each component is stored with "%", "/", "."
// and NUL written as "%25", "%2F", "%2E" and "%00", and an empty component as
// "%", so that no key can name a file outside the store and no two keys share
// a file. <config> is $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config.
//
// Reading never creates anything; a write creates the key's folders and file
// as needed. A write that cannot be stored raises the same Exception as
// TIniFile, naming the key's file.
#pragma once

#include "IniFile.h"

#include <string>
#include <vector>

class TRegistryIniFile : public TCustomIniFile {
public:
    // FileName() is the key name as given.
    explicit TRegistryIniFile(const std::string& keyName);

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& def) const override;
    void WriteString(const std::string& section, const std::string& ident,
                     const std::string& value) override;
    void ReadSection(const std::string& section, std::vector<std::string>& idents) const override;
    void ReadSections(std::vector<std::string>& sections) const override;
    bool ValueExists(const std::string& section, const std::string& ident) const override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;

private:
    void CreateKeyFolder() const;

    TIniFile FStore;
};
