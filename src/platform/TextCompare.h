// The program's one name comparison, shared by the file list's order and the
// slide order so that both sides list the same files in the same order.
#pragma once

#include <QCollatorSortKey>

#include <string>

// Compares two UTF-8 texts without regard to letter case, by the rules of the
// user's locale (English rules when the locale is "C"/POSIX, so the order does
// not depend on an unset LANG). Texts that compare equal that way are ordered by
// their bytes, so the order is total. Negative, 0 or positive, like strcmp.
int lstrcmpiA(const std::string& a, const std::string& b);

// The same comparison without the tie-break: 0 for texts that differ only in
// letter case (and whatever else the locale's rules do not tell apart).
int CollateIgnoringCase(const std::string& a, const std::string& b);

// A text prepared for sorting many texts by lstrcmpiA's order: its collation
// key is made once, so a comparison needs no conversion or collation work.
class TSortText {
public:
    explicit TSortText(std::string text);
    const std::string& Text() const { return m_text; }
    // Negative, 0 or positive exactly as lstrcmpiA(Text(), other.Text()).
    int Compare(const TSortText& other) const;

private:
    std::string m_text;
    QCollatorSortKey m_key;
};
