#pragma once
// Widgets of the editor's forms.
//
// LegacyButton: a push button whose caption is a legacy text (accelerator "&"
// kept, so Alt+letter works), shown decoded.
//
// VniLineEdit: a text box for a stored VNI text. It shows the text as Unicode
// Vietnamese and remembers the stored bytes, so a text that was shown but not
// edited is written back byte for byte (stored texts need not survive a decode
// and re-encode); only edited text is encoded.

#include "vntext.h"

#include <QLineEdit>
#include <QPushButton>
#include <optional>

class LegacyButton : public QPushButton {
    Q_OBJECT
public:
    LegacyButton(QWidget *parent, const QString &name, const QString &caption,
                 vn::Encoding enc = vn::Encoding::VnTimes);
    QString caption() const { return m_caption; }
    void setCaption(const QString &legacy);

private:
    QString m_caption;
    vn::Encoding m_encoding;
};

class VniLineEdit : public QLineEdit {
    Q_OBJECT
public:
    VniLineEdit(QWidget *parent, const QString &name);

    // Shows a stored text.
    void setLegacy(const QString &legacy);
    // The text as it would be stored: the remembered bytes when the shown text
    // was not changed, else the VNI form of what is shown; nothing when a
    // character has no VNI form.
    std::optional<QString> legacy() const;
    // As legacy(), with '?' for characters that have no VNI form.
    QString legacyLossy() const;
    bool isEdited() const { return text() != m_shown; }

private:
    QString m_legacy;
    QString m_shown;
};

namespace editorui {

// The first character (code point) of `unicode` that VNI cannot hold, or 0.
char32_t firstUnstorable(const QString &unicode);
// "“" (U+201C) — the character as it looks, and its code.
QString describeCharacter(char32_t cp);

} // namespace editorui
