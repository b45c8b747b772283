#pragma once
// The tables of the statistics window: one line per question of a table with
// its figures, and one line per pupil account (a class server's). Each sorts
// by any of its columns, numbers as numbers.

#include "answerstats.h"

#include <QAbstractTableModel>

namespace stats {

// A share or an average as the window and the CSV file write it: one decimal,
// a decimal comma in the window ("66,7"), a point in the file; empty for none.
QString shown(std::optional<double> v, bool comma = true);

class QuestionFiguresModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Id, Text, Asked, Right, Wrong, Share, Fifty, Phone, Audience, Seconds, ColumnCount };

    explicit QuestionFiguresModel(QObject *parent = nullptr);

    void setFigures(QList<db::QuestionFigures> figures);
    // The question behind a line (in the order shown).
    const db::QuestionFigures &at(int line) const { return m_rows[line]; }
    // The question's whole text, its answers and its right answer, in Unicode.
    static QString fullText(const db::QuestionFigures &f);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QList<db::QuestionFigures> m_rows;
    QList<QString> m_texts; // the one-line question texts, decoded once
};

class PupilFiguresModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Nick, Games, Answered, Share, Rung, ColumnCount };

    explicit PupilFiguresModel(QObject *parent = nullptr);
    void setFigures(QList<db::PupilFigures> figures);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QList<db::PupilFigures> m_rows;
};

} // namespace stats
