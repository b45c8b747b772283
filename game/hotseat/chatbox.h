#pragma once
// The lifelines' chat boxes (a, aaa): a read-only text box whose text is a legacy
// text with its lines joined by CR LF, exactly as the scripts write it. On screen
// each line that starts with a speaker ("<MC>:") shows the speaker in a colour of
// their own, and the box keeps its last line in view.

#include "vntext.h"

#include <QTextEdit>

class ChatBox : public QTextEdit {
    Q_OBJECT
public:
    ChatBox(QWidget *parent, const QString &name, vn::Encoding enc = vn::Encoding::Vni);

    QString legacyText() const { return m_text; }
    void setLegacyText(const QString &legacy);
    // The text, a CR LF and the line.
    void appendLine(const QString &legacy);

private:
    void render();
    QString m_text;
    vn::Encoding m_encoding;
};
