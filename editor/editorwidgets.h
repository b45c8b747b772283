#pragma once
// Widgets of the editor's forms.
//
// LegacyButton: a push button whose caption is a legacy text (accelerator "&"
// kept, so Alt+letter works), shown decoded.
//
// QuestionListModel: the rows of one question table behind the list, one line
// per row. Rows are read from the store in blocks as the list shows them and
// only a few blocks are kept, so a table of any size lists at once and the
// memory held does not grow with it.
//
// VniLineEdit: a text box for a stored VNI text. It shows the text as Unicode
// Vietnamese and remembers the stored bytes, so a text that was shown but not
// edited is written back byte for byte (stored texts need not survive a decode
// and re-encode); only edited text is encoded. It holds one line: pasted line
// breaks and tabs become blanks.

#include "gamedb.h"
#include "vntext.h"

#include <QAbstractListModel>
#include <QHash>
#include <functional>

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

class QuestionListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // Up to `count` rows from a 0-based position on, in record order.
    using Fetch = std::function<QList<db::Question>(qint64 position, int count)>;
    static constexpr int kBlockRows = 200;
    static constexpr int kBlocksKept = 6;

    explicit QuestionListModel(QObject *parent = nullptr);

    void setSource(int rowCount, Fetch fetch);
    void clear();
    // The row behind a line, as stored when it was read; none past the end.
    std::optional<db::Question> rowAt(int line) const;
    // The line as listed: the decoded question text on one line.
    QString lineText(int line) const;
    // Rows held in memory now (a few blocks at most).
    int rowsHeld() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    struct Block {
        QList<db::Question> rows;
        mutable QList<QString> lines; // decoded on first use; null = not yet
    };
    const Block *blockOf(int line) const;

    int m_count = 0;
    Fetch m_fetch;
    mutable QHash<int, Block> m_blocks;
    mutable QList<int> m_recent; // block numbers, most recently used last
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
