#pragma once
// Legacy Vietnamese texts.
//
// Captions, messages and stored questions are 8-bit strings in one of two legacy
// font encodings (VietWare-X, the "VNtimes new roman" font, and VNI, the "VNI-Times"
// font) or plain unaccented ASCII. In code and in the database such a text is held
// as a QString whose characters are the Latin-1 characters of its bytes ("Â" is the
// byte C2), so the bytes stay exact and any SQLite tool can read the file. Only the
// screen sees Unicode: decode() turns a legacy text into proper Vietnamese, encode()
// turns typed Unicode Vietnamese back into legacy bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace vn {

enum class Encoding { VnTimes, Vni, Plain };

// Legacy text (Latin-1 characters of its bytes) to Unicode NFC. Never fails:
// stray marks become combining marks, unused bytes fall back to Windows-1252,
// characters above U+00FF (which a legacy text cannot hold) pass through.
QString decode(const QString &legacy, Encoding enc);
QString decodeBytes(QByteArrayView bytes, Encoding enc);

// Unicode to legacy text (Latin-1 characters of the bytes). Returns nothing when
// a character has no legacy form (only ASCII, the 134 Vietnamese letters and
// the typographic quotes ‘ ’ “ ” have).
std::optional<QString> encode(const QString &unicode, Encoding enc);
// As encode(), replacing each character that has no legacy form by `replacement`.
QString encodeLossy(const QString &unicode, Encoding enc, char replacement = '?');
// The first character of `unicode` that cannot be encoded, or a null QChar.
QChar firstUnencodable(const QString &unicode, Encoding enc);

// The first character (code point) of typed text that a legacy text cannot
// hold (after composing letters and marks), or 0: a typed text is stored only
// when this finds nothing, never stripped or replaced.
char32_t firstUnstorable(const QString &unicode, Encoding enc);
// "“🌸” (U+1F338)": the character as it looks, and its code; a combining mark
// is shown on a dotted circle, an invisible character by its code only.
QString describeCharacter(char32_t cp);

// Typed text (a nick, a friend's name) to be joined into a legacy text: its legacy
// form when it has one, so that the joined caption shows it as typed; otherwise
// the typed text unchanged.
QString embed(const QString &typed, Encoding enc);

// Unicode NFC in time linear in the length, however many combining marks a
// letter carries (the library's own reordering is quadratic in a run of marks).
QString toNfc(const QString &unicode);

// The bytes of a legacy text, and back.
QByteArray toBytes(const QString &legacy);
QString fromBytes(QByteArrayView bytes);

// A caption with accelerator prefixes: "&Bàõt Âáöu" shows "Bắt Đầu". "&&" is a literal "&".
QString stripAccelerator(const QString &caption);
// Decoded caption for display, accelerator removed.
QString display(const QString &legacy, Encoding enc);

} // namespace vn
