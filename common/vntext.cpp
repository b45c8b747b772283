#include "vntext.h"

#include <QHash>
#include <functional>
#include <algorithm>
#include <array>
#include <iterator>

namespace vn {
namespace {

struct TableRow {
    unsigned char bytes[2];
    int byteCount;
    char16_t codePoints[2];
    int codePointCount;
};

#include "vntables.inc"

// Windows-1252 for 80-9F; other bytes are their Latin-1 characters.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct Codec {
    QHash<quint16, QString> pairs;      // two-byte letters, key = b1 << 8 | b2
    std::array<QString, 256> single;    // one-byte letters
    std::array<QString, 256> stray;     // mark bytes on their own

    explicit Codec(const TableRow *rows, size_t count)
    {
        pairs.reserve(qsizetype(count));
        for (size_t i = 0; i < count; ++i) {
            const TableRow &r = rows[i];
            const QString text = QString::fromUtf16(r.codePoints, r.codePointCount);
            if (r.byteCount == 2)
                pairs.insert(quint16(r.bytes[0] << 8 | r.bytes[1]), text);
            else if (isMark(text))
                stray[r.bytes[0]] = text;
            else
                single[r.bytes[0]] = text;
        }
    }

    static bool isMark(const QString &text) { return text.at(0).unicode() >= 0x0300 && text.at(0).unicode() <= 0x036F; }

    // Longest match first: a two-byte letter, a one-byte letter, a stray mark,
    // then the Windows-1252 fallback for bytes neither encoding uses.
    QString decode(const QString &in) const
    {
        QString out;
        out.reserve(in.size());
        const qsizetype n = in.size();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = in.at(i).unicode();
            if (c <= 0xFF && i + 1 < n) {
                const char16_t next = in.at(i + 1).unicode();
                if (next <= 0xFF) {
                    auto it = pairs.constFind(quint16(c << 8 | next));
                    if (it != pairs.constEnd()) {
                        out.append(*it);
                        ++i;
                        continue;
                    }
                }
            }
            if (c < 0x80 || c > 0xFF)
                out.append(QChar(c));
            else if (!single[c].isEmpty())
                out.append(single[c]);
            else if (!stray[c].isEmpty())
                out.append(stray[c]);
            else if (c < 0xA0)
                out.append(QChar(kCp1252High[c - 0x80]));
            else
                out.append(QChar(c));
        }
        return out;
    }
};

// Each table is read the first time its encoding is used (a start decodes the
// captions of its first window only).
const Codec &codecFor(Encoding enc)
{
    if (enc == Encoding::Vni) {
        static const Codec vni(kVni, std::size(kVni));
        return vni;
    }
    static const Codec vnTimes(kVnTimes, std::size(kVnTimes));
    return vnTimes;
}

// NFC letter -> legacy text: built the first time something is encoded.
QHash<QString, QString> encodeMap(const TableRow *rows, size_t count)
{
    QHash<QString, QString> map;
    map.reserve(qsizetype(count));
    for (size_t i = 0; i < count; ++i) {
        const TableRow &r = rows[i];
        const QString text = QString::fromUtf16(r.codePoints, r.codePointCount);
        if (r.byteCount == 2)
            map.insert(text, QString(QChar(r.bytes[0])) + QChar(r.bytes[1]));
        else if (!Codec::isMark(text))
            map.insert(text, QString(QChar(r.bytes[0])));
    }
    // The typographic quotes ‘ ’ “ ”: bytes 91-94, which neither encoding gives
    // a letter, so decode() reads them back through the Windows-1252 fallback.
    for (char16_t b = 0x91; b <= 0x94; ++b)
        map.insert(QString(QChar(kCp1252High[b - 0x80])), QString(QChar(b)));
    return map;
}

const QHash<QString, QString> &encodeMapFor(Encoding enc)
{
    if (enc == Encoding::Vni) {
        static const QHash<QString, QString> vni = encodeMap(kVni, std::size(kVni));
        return vni;
    }
    static const QHash<QString, QString> vnTimes = encodeMap(kVnTimes, std::size(kVnTimes));
    return vnTimes;
}

} // namespace

QString decode(const QString &legacy, Encoding enc)
{
    if (enc == Encoding::Plain)
        return legacy;
    // A letter followed by a mark byte that does not pair with it comes out as
    // letter + combining marks: compose it.
    return toNfc(codecFor(enc).decode(legacy));
}

QString toNfc(const QString &unicode)
{
    // Nothing below U+0300 ever changes under NFC.
    const bool simple = std::all_of(unicode.cbegin(), unicode.cend(), [](QChar c) { return c.unicode() < 0x300; });
    if (simple)
        return unicode;
    // A long run of marks is put in canonical order here (decomposed, then a
    // stable sort by combining class), so the library only composes.
    constexpr qsizetype kShortRun = 16;
    const QList<uint> cps = unicode.toUcs4();
    QList<uint> out;
    out.reserve(cps.size());
    qsizetype i = 0;
    bool reordered = false;
    while (i < cps.size()) {
        if (QChar::combiningClass(char32_t(cps[i])) == 0) {
            out.append(cps[i++]);
            continue;
        }
        qsizetype end = i;
        while (end < cps.size() && QChar::combiningClass(char32_t(cps[end])) != 0)
            ++end;
        if (end - i <= kShortRun) {
            for (; i < end; ++i)
                out.append(cps[i]);
            continue;
        }
        reordered = true;
        QList<uint> run;
        std::function<void(uint)> decompose = [&](uint cp) {
            if (QChar::decompositionTag(char32_t(cp)) == QChar::Canonical) {
                for (uint d : QChar::decomposition(char32_t(cp)).toUcs4())
                    decompose(d);
            } else {
                run.append(cp);
            }
        };
        for (; i < end; ++i)
            decompose(cps[i]);
        std::stable_sort(run.begin(), run.end(), [](uint a, uint b) {
            return QChar::combiningClass(char32_t(a)) < QChar::combiningClass(char32_t(b));
        });
        out.append(run);
    }
    const QString ordered = reordered ? QString::fromUcs4(reinterpret_cast<const char32_t *>(out.constData()), out.size())
                                      : unicode;
    return ordered.normalized(QString::NormalizationForm_C);
}

QString decodeBytes(QByteArrayView bytes, Encoding enc)
{
    return decode(fromBytes(bytes), enc);
}

namespace {
template <typename OnFail>
bool encodeInto(const QString &unicode, Encoding enc, QString &out, OnFail onFail)
{
    const QString nfc = toNfc(unicode);
    out.reserve(nfc.size() * 2);
    const QHash<QString, QString> *codec = enc == Encoding::Plain ? nullptr : &encodeMapFor(enc);
    bool ok = true;
    for (qsizetype i = 0; i < nfc.size(); ++i) {
        const QChar ch = nfc.at(i);
        if (ch.unicode() < 0x80) {
            out.append(ch);
            continue;
        }
        if (codec) {
            auto it = codec->constFind(QString(ch));
            if (it != codec->constEnd()) {
                out.append(*it);
                continue;
            }
        }
        ok = false;
        // A surrogate pair is one character: one failure.
        if (ch.isHighSurrogate() && i + 1 < nfc.size() && nfc.at(i + 1).isLowSurrogate())
            ++i;
        if (!onFail(ch, out))
            return false;
    }
    return ok;
}
} // namespace

std::optional<QString> encode(const QString &unicode, Encoding enc)
{
    QString out;
    if (!encodeInto(unicode, enc, out, [](QChar, QString &) { return false; }))
        return std::nullopt;
    return out;
}

QString encodeLossy(const QString &unicode, Encoding enc, char replacement)
{
    QString out;
    encodeInto(unicode, enc, out, [replacement](QChar, QString &o) {
        o.append(QLatin1Char(replacement));
        return true;
    });
    return out;
}

QChar firstUnencodable(const QString &unicode, Encoding enc)
{
    QChar bad;
    QString out;
    encodeInto(unicode, enc, out, [&bad](QChar ch, QString &) {
        bad = ch;
        return false;
    });
    return bad;
}

char32_t firstUnstorable(const QString &unicode, Encoding enc)
{
    const QString nfc = toNfc(unicode);
    for (const char32_t cp : nfc.toUcs4()) {
        if (cp < 0x80)
            continue;
        if (!encode(QString::fromUcs4(&cp, 1), enc))
            return cp;
    }
    return 0;
}

QString describeCharacter(char32_t cp)
{
    QString glyph = QString::fromUcs4(&cp, 1);
    const QChar::Category cat = QChar::category(cp);
    if (cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining || cat == QChar::Mark_Enclosing)
        glyph.prepend(QChar(0x25CC));
    else if (!QChar::isPrint(cp))
        glyph.clear();
    const QString code = QStringLiteral("U+%1").arg(quint32(cp), 4, 16, QLatin1Char('0')).toUpper();
    return glyph.isEmpty() ? code : QStringLiteral("\u201C%1\u201D (%2)").arg(glyph, code);
}

QString embed(const QString &typed, Encoding enc)
{
    if (auto e = encode(typed, enc))
        return *e;
    return typed;
}

QByteArray toBytes(const QString &legacy)
{
    return legacy.toLatin1();
}

QString fromBytes(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.data(), bytes.size());
}

QString stripAccelerator(const QString &caption)
{
    if (!caption.contains(QLatin1Char('&')))
        return caption;
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&')) {
                out.append(QLatin1Char('&'));
                ++i;
            }
            continue;
        }
        out.append(caption.at(i));
    }
    return out;
}

QString display(const QString &legacy, Encoding enc)
{
    return decode(stripAccelerator(legacy), enc);
}

} // namespace vn
