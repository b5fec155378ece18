#ifndef HIGHLIGHTER_H
#define HIGHLIGHTER_H

#include <QObject>
#include <QString>

// Marks where a list text matches the live filter: the match is underlined in the theme's
// accent colour. The result is rich text in which the row's own text is escaped, so a title
// such as "Rock & Roll <live>" still reads as written while a filter is active.
class Highlighter : public QObject
{
    Q_OBJECT

public:
    explicit Highlighter(QObject* parent);
    ~Highlighter() override;

    // The text unchanged for an empty filter. Otherwise, with the filter's leading spaces
    // dropped: a filter without inner spaces marks its first match in every word of the text,
    // a filter with one marks its first match in the whole text. Matching ignores case.
    QString highlight(const QString& text, const QString& filter) const;

private slots:
    void setHighlightColor();

private:
    QString markedItem(const QString& item, const QString& filter) const;

    QString openTag;
    QString closeTag;
};

#endif // HIGHLIGHTER_H
