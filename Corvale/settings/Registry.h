#pragma once
// The program's settings store: what the behaviour calls "the registry".
//
// The Windows program kept its settings under one application key
// ("Corvale2") with a section per subject. Here the store is one INI file,
// $XDG_CONFIG_HOME/Corvale/Corvale2.ini (~/.config/Corvale/Corvale2.ini when
// the variable is unset), always opened through OpenRegistry so that every
// part of the program reads and writes the same file.
//
// How the registry maps onto QSettings:
// - a section ("Settings", "GPIBlockList", "Recent ShapeFile List",
//   "CustomColors", "RDFDDirectories") is a QSettings group; a subkey below a
//   section is a nested group ("Settings/ColorThemes"), which the INI file
//   shows as "[Settings]" with keys "ColorThemes\<name>";
// - a value is a key of its group. The INI file keeps no types, so:
//   - integers (REG_DWORD) are written as decimal text and read back through
//     ReadRegistryInt; text that is no integer reads as absent, as a value of
//     the wrong type did for the profile functions;
//   - strings (REG_SZ) are UTF-8 text;
//   - binary values (REG_BINARY) are QByteArray values, which QSettings writes
//     as "@ByteArray(...)"; only they come back as QByteArray, which is how a
//     reader tells binary values from strings;
// - "deleting every value of a key" removes the group's child keys and leaves
//   its subgroups, as deleting values left subkeys alone.
//
// Value names that come from the user (colour-theme names) go through
// EncodeRegistryValueName: QSettings takes '/' in a key as a group separator,
// and '\' is one in its native formats (Qt warns against it in keys), so those
// two and '%' are written percent-encoded ("%2F", "%5C", "%25"); the empty
// name, which the registry allowed as the key's default value, is written as
// "%". QSettings escapes every other character itself in the file (a space is
// "%20" there). Fixed value names ("LoadToBottom") need none of this.
//
// Differences from the registry worth knowing:
// - value names are compared with their exact case;
// - a group lists its keys sorted by name, not in the order they were written;
// - QSettings' fallbacks (an organisation-wide Corvale.ini, the system XDG
//   folders) are switched off, so only the one file is read;
// - the file is written when the QSettings object is synced or destroyed, and
//   QSettings writes it under a temporary name and renames it into place.

#include <cstdint>
#include <memory>
#include <string>

#include <QString>

class QSettings;

namespace corvale {

// The program's settings store, fallbacks off. Never null; a store that cannot
// be read or written shows that in status() and isWritable().
std::unique_ptr<QSettings> OpenRegistry();

// The profile functions' reading rules, for the current group of settings:
// an absent value, or one of another type, gives the default.
//
// An integer is decimal text (a leading sign and surrounding blanks allowed)
// in the range of an int or of a DWORD; a DWORD above INT_MAX reads as the int
// with the same 32 bits, as GetProfileInt's UINT did when stored in an int.
int ReadRegistryInt(const QSettings& settings, const QString& name, int defaultValue);
// The same 32 bits seen as unsigned: colours (0x00BBGGRR) are stored this way.
std::uint32_t ReadRegistryU32(const QSettings& settings, const QString& name, std::uint32_t defaultValue);
// UTF-8 text. An INI line written by hand without quotes around a comma is
// read by QSettings as a list; its parts are joined again with ", ".
std::string ReadRegistryString(const QSettings& settings, const QString& name, const std::string& defaultValue);

void WriteRegistryInt(QSettings& settings, const QString& name, int value);
void WriteRegistryU32(QSettings& settings, const QString& name, std::uint32_t value);
void WriteRegistryString(QSettings& settings, const QString& name, const std::string& value);

// Key for a value name given by the user, and back (see above). Decoding
// leaves a '%' that starts no known escape as it is, so hand-written keys
// read as written.
QString EncodeRegistryValueName(const std::string& name);
std::string DecodeRegistryValueName(const QString& key);

} // namespace corvale
