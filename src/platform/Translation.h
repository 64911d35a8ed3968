// The program's texts and the system's language.
//
// Every text shown to a person is written in Japanese in the sources and goes
// through Qt's translation system, with the class or unit that shows it as the
// context (QCoreApplication::translate, or Translate below for UTF-8 strings).
// A Japanese system shows the texts exactly as written; on any other system
// the program installs the English translation compiled into it
// (translations/pictal_en.ts, embedded as ":/i18n/pictal_en.qm").
#pragma once

#include <QtGlobal>  // QT_TRANSLATE_NOOP, for tables of texts

#include <initializer_list>
#include <string>
#include <string_view>

// True when the system's language is Japanese: LC_ALL, LC_MESSAGES and LANG
// as Qt reads them (no generated locale is needed). The one test for all that
// differs by language besides the texts (a font, a web address).
bool SystemIsJapanese();

// Installs the English translation on the application object when the system's
// language is not Japanese. Called once the application object exists.
void InstallTranslation();

// Installs (true) or removes (false) the English translation; false when it
// was asked for and could not be loaded. Without an application object,
// nothing is installed.
bool UseEnglishTranslation(bool english);

// The text in the language installed, as UTF-8. lupdate reads these calls as
// it reads QCoreApplication::translate (-tr-function-alias translate+=Translate).
std::string Translate(const char* context, const char* text);

// text with %1 .. %9 replaced by the arguments, in one pass, byte for byte (an
// argument may hold any bytes, a "%2" among them). A number without an
// argument is kept as it stands.
std::string Substitute(std::string_view text, std::initializer_list<std::string_view> args);
