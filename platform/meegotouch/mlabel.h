#ifndef MLABEL_H
#define MLABEL_H

#include "mwidgetcontroller.h"

#include <QTextOption>

// A text, plain unless told otherwise. Labels show names from files, streams and users, and any
// of those may look like markup ("<b>", "<img src=...>"): rendering them as such would let a
// tag or a radio server make the program open and draw files. So a label shows its text as
// written; only a label given Qt::RichText (by code that builds the markup itself and escapes
// every name in it) renders markup, and Qt::AutoText is taken as plain text too. Plain text can
// be elided and wrapped. A length-variant separator (U+009C) ends the text shown.
class MLabel : public MWidgetController
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    enum PreferredLineCountBehavior {
        LineCountSetsPreferredHeight = 0,
        LineCountLimitsPreferredHeight = 1
    };

    explicit MLabel(QGraphicsItem* parent = nullptr);
    explicit MLabel(const QString& text, QGraphicsItem* parent = nullptr);
    ~MLabel() override;

    QString text() const;
    void setText(const QString& text);

    Qt::TextFormat textFormat() const;
    void setTextFormat(Qt::TextFormat format);

    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);

    bool textElide() const;
    void setTextElide(bool elide);

    void setWordWrap(bool wrap);

    QTextOption::WrapMode wrapMode() const;
    void setWrapMode(QTextOption::WrapMode mode);

    int preferredLineCount() const;
    void setPreferredLineCount(int lines);
    void setPreferredLineCountBehavior(PreferredLineCountBehavior behavior);

    // The text as drawn: cut at the first length-variant separator.
    QString shownText() const;
    bool isRichText() const;

protected:
    QSizeF contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const override;
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;

private:
    int linesFor(qreal width) const;
    QSizeF richTextSize(qreal width) const;

    QString labelText;
    Qt::TextFormat format = Qt::PlainText;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    bool elide = false;
    bool wrap = false;
    QTextOption::WrapMode mode = QTextOption::WordWrap;
    int lineCount = -1;
    PreferredLineCountBehavior lineCountBehavior = LineCountSetsPreferredHeight;
};

#endif // MLABEL_H
