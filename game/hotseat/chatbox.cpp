#include "chatbox.h"

#include <QRegularExpression>
#include <QScrollBar>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

QString speakerColour(const QString &speaker)
{
    if (speaker == QLatin1String("MC"))
        return QStringLiteral("#ffd75a");
    if (speaker == QStringLiteral("Điện thoại"))
        return QStringLiteral("#9fb4ff");
    if (speaker == QStringLiteral("Người chơi"))
        return QStringLiteral("#7fe3ff");
    if (speaker == QStringLiteral("Khán giả"))
        return QStringLiteral("#ff9fd0");
    return QStringLiteral("#8dff9a"); // the friend, by the name the player gave
}
} // namespace

ChatBox::ChatBox(QWidget *parent, const QString &name, vn::Encoding enc) : QTextEdit(parent), m_encoding(enc)
{
    setObjectName(name);
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont f = font();
    f.setPointSizeF(12.5);
    setFont(f);
    document()->setDocumentMargin(10);
}

void ChatBox::setLegacyText(const QString &legacy)
{
    m_text = legacy;
    render();
}

void ChatBox::appendLine(const QString &legacy)
{
    m_text += kCrLf + legacy;
    render();
}

void ChatBox::render()
{
    static const QRegularExpression spoken(QStringLiteral("^<([^>]*)>:(.*)$"));
    const QStringList lines = vn::decode(m_text, m_encoding).split(kCrLf);
    QString html;
    for (const QString &line : lines) {
        html += QStringLiteral("<p style=\"margin:0 0 6px 0; white-space:pre-wrap;\">");
        const QRegularExpressionMatch m = spoken.match(line);
        if (m.hasMatch())
            html += QStringLiteral("<span style=\"color:%1; font-weight:600;\">&lt;%2&gt;:</span>%3")
                        .arg(speakerColour(m.captured(1)), m.captured(1).toHtmlEscaped(),
                             m.captured(2).toHtmlEscaped());
        else
            html += QStringLiteral("<span style=\"color:#c9d4ff;\">%1</span>").arg(line.toHtmlEscaped());
        html += QStringLiteral("</p>");
    }
    setHtml(html);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}
